// UTF-16 to code page 932, the inverse of the decoding table: what the
// history writer uses to store the lines it makes.
#pragma once

#include <string>
#include <string_view>

namespace corvalith {

// Appends the code page 932 bytes of `text` to `out`. Where several byte
// sequences decode to the same character (the NEC and IBM extension rows),
// the one iconv's "CP932" converter produces is written. Returns false, with
// `out` as it was, when a character has no code page 932 form. May throw
// std::bad_alloc.
[[nodiscard]] bool EncodeCp932(std::u16string_view text, std::string& out);

}  // namespace corvalith
