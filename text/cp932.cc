// Table-driven CP932 decoding: one lookup per byte, a second for the trail
// byte of a two-byte character; ASCII bytes are widened without a lookup.
#include "text/cp932.h"

#include "text/cp932_table.h"

namespace corvalith {

bool Cp932Decoder::Decode(std::string_view bytes, std::u16string& out) {
    const std::size_t start = out.size();
    out.resize(start + bytes.size());  // CP932 never gives more than one unit per byte
    char16_t* const first = out.data() + start;
    char16_t* dst = first;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    bool ok = true;
    while (in != end) {
        const unsigned byte = *in;
        if (byte < 0x80 && cp932::kAsciiIsIdentity) {
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
