// FuzzInput: reads a fuzzer's bytes front to back as little-endian fields.
// A read past the end yields zeros, so every input, however short, decodes,
// and the seed files can be written by hand (scripts/make_fuzz_seeds.py).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace corvalith::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) noexcept : data_(data), size_(size) {}

    std::uint8_t U8() noexcept { return static_cast<std::uint8_t>(Take(1)); }
    std::uint16_t U16() noexcept { return static_cast<std::uint16_t>(Take(2)); }
    std::uint32_t U32() noexcept { return static_cast<std::uint32_t>(Take(4)); }
    std::int32_t I32() noexcept { return static_cast<std::int32_t>(U32()); }

    // Eight raw bytes as a double: every bit pattern, NaNs and infinities included.
    double Double() noexcept {
        const std::uint64_t bits = Take(8);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    [[nodiscard]] bool empty() const noexcept { return at_ >= size_; }

  private:
    std::uint64_t Take(std::size_t bytes) noexcept {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            if (at_ < size_) value |= std::uint64_t{data_[at_++]} << (8 * i);
        }
        return value;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace corvalith::fuzz
