// UTF-8 output: one code point, or a whole UTF-16 text.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace corvalith {

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t codePoint);

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view text);

// The same into `out`, without allocating (for failure lines written when
// memory is exhausted): the whole code points that fit; returns the bytes written.
[[nodiscard]] std::size_t Utf16ToUtf8(std::u16string_view text, std::span<char> out) noexcept;

}  // namespace corvalith

namespace corvalith {

// Strict UTF-8 to UTF-16 (no overlong forms, no surrogates, at most
// U+10FFFF). Appends to `out`; false at the first invalid sequence, with
// `out` holding the text before it. May throw std::bad_alloc.
[[nodiscard]] bool Utf8ToUtf16(std::string_view bytes, std::u16string& out);

}  // namespace corvalith
