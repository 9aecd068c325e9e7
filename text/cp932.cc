// iconv-backed CP932 decoding.
#include "text/cp932.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace corvalith {
namespace {

constexpr const char* kUtf16Native =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr std::size_t kChunkUnits = 4096;

}  // namespace

Cp932Decoder::Cp932Decoder() noexcept : cd_(iconv_open(kUtf16Native, "CP932")) {}

Cp932Decoder::~Cp932Decoder() {
    if (ok()) iconv_close(cd_);
}

bool Cp932Decoder::Decode(std::string_view bytes, std::u16string& out) {
    if (!ok()) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // fresh state for each piece
    char* in = const_cast<char*>(bytes.data());      // iconv's signature is not const
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        const std::size_t start = out.size();
        const std::size_t room =
            std::max(kChunkUnits, inLeft);  // CP932 never expands past 1 unit/byte
        out.resize(start + room);
        char* dst = reinterpret_cast<char*>(out.data() + start);
        std::size_t outLeft = room * sizeof(char16_t);
        const std::size_t rc = iconv(cd_, &in, &inLeft, &dst, &outLeft);
        out.resize(start + room - outLeft / sizeof(char16_t));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) return false;  // EILSEQ or EINVAL
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
