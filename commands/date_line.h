// The text of the date and time line: local time as
// "yyyy/mm/dd(曜) hh:mm:ss", with the fields that a failed conversion gives
// (0 for the date, -1 for the time, no weekday name).
#pragma once

#include <ctime>
#include <string>

namespace corvalith {

// Formats `local` (a broken-down local time), or the failure text
// "0000/00/00() -1:-1:-1" when `local` is null.
[[nodiscard]] std::u16string FormatDateLine(const std::tm* local);

// The line for the current local time.
[[nodiscard]] std::u16string CurrentDateLine();

}  // namespace corvalith
