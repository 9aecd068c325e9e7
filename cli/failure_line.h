// One failure line on stderr, written without allocating, so that it can
// still be said when memory has run out.
#pragma once

#include <initializer_list>
#include <ostream>
#include <string_view>

namespace corvalith {

// Writes the parts, in UTF-8, and a line feed to `err` and flushes it.
// Never throws; a line longer than 1 KiB is cut at a whole character.
void WriteFailureLine(std::ostream& err, std::initializer_list<std::u16string_view> parts) noexcept;

}  // namespace corvalith
