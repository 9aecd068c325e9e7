// Code page 932 (Shift_JIS with the Windows extensions) to UTF-16, with the
// table of glibc's iconv "CP932" converter, taken from it at build time.
#pragma once

#include <string>
#include <string_view>

namespace corvalith {

// A stateless decoder over the built-in table; it cannot fail to start.
class Cp932Decoder {
  public:
    // Appends the UTF-16 text of `bytes` to `out`. Returns false when the bytes
    // hold an invalid sequence or end inside a two-byte character; `out` then
    // holds the text decoded up to that point. May throw std::bad_alloc.
    [[nodiscard]] bool Decode(std::string_view bytes, std::u16string& out) const;

    // Whether Decode would accept `bytes`, without producing the text.
    [[nodiscard]] bool IsValid(std::string_view bytes) const noexcept;
};

// Decodes text the program produced itself (predictor results); each byte that
// does not decode becomes U+FFFD. Never fails; may throw std::bad_alloc.
[[nodiscard]] std::u16string DecodeCp932Lossy(std::string_view bytes);

}  // namespace corvalith
