// The characters the draw lines are read by: the two that enclose a draw
// number and the ASCII classes of the number rules, independent of any locale.
#pragma once

namespace corvalith {

inline constexpr char16_t kDai = u'\u7B2C';  // 第, before a draw number
inline constexpr char16_t kKai = u'\u56DE';  // 回, after it

[[nodiscard]] constexpr bool IsAsciiDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }

// The white space of the C library's number conversions.
[[nodiscard]] constexpr bool IsAsciiSpace(char16_t c) noexcept {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

}  // namespace corvalith
