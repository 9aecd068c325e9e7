// The one UTF-8 encoder of the program: the CLI's output, the file-system
// form of names and the tests all go through it.
#include "text/utf8.h"

#include <array>

namespace corvalith {
namespace {

// The 1 to 4 bytes of one code point into `bytes`; returns how many.
std::size_t Encode(char32_t cp, std::array<char, 4>& bytes) noexcept {
    if (cp < 0x80) {
        bytes[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
        bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
        bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    bytes[0] = static_cast<char>(0xF0 | (cp >> 18));
    bytes[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    bytes[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

// Calls `emit` with each code point of `text`, a lone surrogate as U+FFFD.
template <typename Emit>
void ForEachCodePoint(std::u16string_view text, Emit emit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (!emit(cp)) return;
    }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    std::array<char, 4> bytes{};
    out.append(bytes.data(), Encode(cp, bytes));
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    ForEachCodePoint(text, [&out](char32_t cp) {
        AppendUtf8(out, cp);
        return true;
    });
    return out;
}

std::size_t Utf16ToUtf8(std::u16string_view text, std::span<char> out) noexcept {
    std::size_t written = 0;
    ForEachCodePoint(text, [&](char32_t cp) {
        std::array<char, 4> bytes{};
        const std::size_t n = Encode(cp, bytes);
        if (out.size() - written < n) return false;
        for (std::size_t b = 0; b < n; ++b) out[written++] = bytes[b];
        return true;
    });
    return written;
}

}  // namespace corvalith

namespace corvalith {

bool Utf8ToUtf16(std::string_view bytes, std::u16string& out) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned b = in[i];
        if (b < 0x80) {
            out.push_back(static_cast<char16_t>(b));
            ++i;
            continue;
        }
        int extra;
        char32_t cp;
        char32_t min;
        if ((b & 0xE0) == 0xC0) {
            extra = 1, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, cp = b & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (size - i <= static_cast<std::size_t>(extra)) return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned c = in[i + static_cast<std::size_t>(k)];
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

}  // namespace corvalith
