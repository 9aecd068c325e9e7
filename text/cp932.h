// Code page 932 (Shift_JIS with the Windows extensions) to UTF-16, through
// glibc's iconv "CP932" table.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace corvalith {

// One conversion state; not copyable. Construction fails (ok() false) only
// when the platform has no CP932 table.
class Cp932Decoder {
  public:
    Cp932Decoder() noexcept;
    ~Cp932Decoder();
    Cp932Decoder(const Cp932Decoder&) = delete;
    Cp932Decoder& operator=(const Cp932Decoder&) = delete;

    [[nodiscard]] bool ok() const noexcept { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Appends the UTF-16 text of `bytes` to `out`. Returns false when the bytes
    // hold an invalid sequence or end inside a two-byte character; `out` then
    // holds the text decoded up to that point. May throw std::bad_alloc.
    [[nodiscard]] bool Decode(std::string_view bytes, std::u16string& out);

  private:
    iconv_t cd_;
};

// Decodes text the program produced itself (predictor results); each byte that
// does not decode becomes U+FFFD. Never fails; may throw std::bad_alloc.
[[nodiscard]] std::u16string DecodeCp932Lossy(std::string_view bytes);

}  // namespace corvalith
