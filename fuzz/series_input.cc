// Decoding of the shared parts of the numeric fuzz inputs.
#include "fuzz/series_input.h"

#include <cstring>

namespace corvalith::fuzz {
namespace {

constexpr std::uint8_t kAnyValue = 0xF0;  // selector bytes from here on take 4 more bytes

double DigitLike(std::uint8_t byte) noexcept { return static_cast<double>(byte % 12) - 1.0; }

double Value(FuzzInput& input, std::uint8_t encoding) noexcept {
    switch (encoding % 4) {
        case 0:
            return DigitLike(input.U8());
        case 1:
            return static_cast<double>(input.U8());
        case 2:
            return input.Double();
        default: {
            const std::uint8_t tag = input.U8();
            return tag < 0xC0 ? DigitLike(tag) : input.Double();
        }
    }
}

}  // namespace

FuzzSeries::FuzzSeries(FuzzInput& input) {
    const std::uint32_t count = input.U16() % (kMaxSeries + 1);
    const std::uint8_t encoding = input.U8();
    const std::uint8_t kind = input.U8();
    values_.resize(count);
    for (double& value : values_) value = Value(input, encoding);

    WAData& data = record_.get();
    data.count = count;
    data.rate = kind == 0xF0 ? 0 : kind >= 0xF2 ? kind : 1;
    if (kind != 0xF1) {
        data.samples = new double[count];
        if (count != 0) std::memcpy(data.samples, values_.data(), count * sizeof(double));
    }
    samples_ = data.samples;
    count_ = data.count;
    rate_ = data.rate;
}

bool FuzzSeries::Unchanged() const noexcept {
    const WAData& data = record_.get();
    if (data.samples != samples_ || data.count != count_ || data.rate != rate_) return false;
    return samples_ == nullptr || count_ == 0 ||
           std::memcmp(samples_, values_.data(), count_ * sizeof(double)) == 0;
}

std::int32_t PlacementFlag(FuzzInput& input) noexcept {
    const std::uint8_t selector = input.U8();
    return selector < kAnyValue ? selector % 4 - 1 : input.I32();
}

std::int32_t FilterKind(FuzzInput& input) noexcept {
    const std::uint8_t selector = input.U8();
    return selector < kAnyValue ? selector % 3 : input.I32();
}

}  // namespace corvalith::fuzz
