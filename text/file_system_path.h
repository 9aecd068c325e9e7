// Conversion between UTF-16 path text (what the window shows and edits) and
// the file system's own bytes of a name (what open() takes).
//
// Names are UTF-8 on this platform, but any byte sequence is a valid name. A
// byte that is not part of valid UTF-8 is carried through UTF-16 as the lone
// surrogate U+DC80 + byte, so every name survives the round trip unchanged.
#pragma once

#include <string>
#include <string_view>

namespace corvalith {

// Bytes of a name to UTF-16, lossless (invalid bytes become U+DC80..U+DCFF).
[[nodiscard]] std::u16string PathFromFileSystem(std::string_view bytes);

// UTF-16 to the bytes of a name. Escaped bytes are restored; any other lone
// surrogate cannot be written in a name and becomes '?'.
[[nodiscard]] std::string PathToFileSystem(std::u16string_view text);

// True when something (file, directory, ...) exists at the name; follows links.
[[nodiscard]] bool PathExists(const std::string& bytes) noexcept;

}  // namespace corvalith
