// The code page 932 decoding table, generated at build time from glibc's iconv
// "CP932" converter (text/cp932_table_gen.cc), so that iconv stays the one
// source of truth while decoding needs no converter at run time.
#pragma once

#include <cstdint>

namespace corvalith::cp932 {

// Markers in the tables; neither is a character code page 932 decodes to.
inline constexpr char16_t kInvalid = 0xFFFF;   // no character starts or ends here
inline constexpr char16_t kLeadByte = 0xFFFE;  // first byte of a two-byte character

// The generator checks that bytes 0x00 .. 0x7F are the ASCII characters, so
// the decoder widens them without a lookup.

// kSingle[b]: the UTF-16 unit of the one-byte character b, kLeadByte or kInvalid.
extern const char16_t kSingle[256];

// kLeadRow[b]: for a lead byte b, the row of kPairs that holds its second
// bytes (every other entry is unused).
extern const std::uint8_t kLeadRow[256];

// kPairs[kLeadRow[lead] * 256 + trail]: the UTF-16 unit of the two-byte
// character, or kInvalid.
extern const char16_t kPairs[];

}  // namespace corvalith::cp932
