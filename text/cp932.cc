// Table-driven CP932 decoding: one lookup per byte, a second for the trail
// byte of a two-byte character. ASCII bytes (0x00 .. 0x7F, checked by the
// table generator) are widened without a lookup, eight at a time in runs.
#include "text/cp932.h"

#include <cstdint>
#include <cstring>

#include "text/cp932_table.h"

namespace corvalith {
namespace {

// Whether the eight bytes at `in` are all below 0x80.
bool EightAscii(const unsigned char* in) noexcept {
    std::uint64_t word;
    std::memcpy(&word, in, sizeof word);
    return (word & 0x8080808080808080u) == 0;
}

}  // namespace

bool Cp932Decoder::Decode(std::string_view bytes, std::u16string& out) const {
    const std::size_t start = out.size();
    out.resize(start + bytes.size());  // CP932 never gives more than one unit per byte
    char16_t* const first = out.data() + start;
    char16_t* dst = first;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    bool ok = true;
    while (in != end) {
        if (end - in >= 8 && EightAscii(in)) {
            for (int k = 0; k < 8; ++k) dst[k] = in[k];
            in += 8;
            dst += 8;
            continue;
        }
        const unsigned byte = *in;
        if (byte < 0x80) {
            *dst++ = static_cast<char16_t>(byte);
            ++in;
            continue;
        }
        char16_t unit = cp932::kSingle[byte];
        if (unit == cp932::kLeadByte) {
            if (end - in < 2) {
                ok = false;  // cut off inside a two-byte character
                break;
            }
            unit = cp932::kPairs[cp932::kLeadRow[byte] * 256u + in[1]];
            ++in;
        }
        if (unit == cp932::kInvalid) {
            ok = false;
            break;
        }
        *dst++ = unit;
        ++in;
    }
    out.resize(start + static_cast<std::size_t>(dst - first));
    return ok;
}

bool Cp932Decoder::IsValid(std::string_view bytes) const noexcept {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    while (in != end) {
        if (end - in >= 8 && EightAscii(in)) {
            in += 8;
            continue;
        }
        const unsigned byte = *in++;
        if (byte < 0x80) continue;
        char16_t unit = cp932::kSingle[byte];
        if (unit == cp932::kLeadByte) {
            if (in == end) return false;
            unit = cp932::kPairs[cp932::kLeadRow[byte] * 256u + *in++];
        }
        if (unit == cp932::kInvalid) return false;
    }
    return true;
}

std::u16string DecodeCp932Lossy(std::string_view bytes) {
    Cp932Decoder decoder;
    std::u16string out;
    if (decoder.Decode(bytes, out)) return out;
    // Slow path: decode byte by byte around the bad spots.
    out.clear();
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t width = (i + 1 < bytes.size()) ? 2 : 1;
        if (decoder.Decode(bytes.substr(i, 1), out)) {
            i += 1;
        } else if (width == 2 && decoder.Decode(bytes.substr(i, 2), out)) {
            i += 2;
        } else {
            out.push_back(u'\uFFFD');
            i += 1;
        }
    }
    return out;
}

}  // namespace corvalith
