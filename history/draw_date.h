// Draw dates as the writer needs them: read from a yyyy/m/d field, checked
// against the calendar, compared, and turned into the weekday 月 … 日.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvalith {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;

    // yyyymmdd: orders dates like the calendar does.
    [[nodiscard]] constexpr std::uint32_t Key() const noexcept {
        return static_cast<std::uint32_t>(year * 10000 + month * 100 + day);
    }
    friend constexpr bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// The numbers of a field the reader accepts as a date (\d{4}/\d{1,2}/\d{1,2},
// ASCII digits); nothing for any other text. The values are not checked.
[[nodiscard]] std::optional<CalendarDate> DateOfField(std::u16string_view field) noexcept;

// Whether the date exists in the proleptic Gregorian calendar (years 1 to 9999).
[[nodiscard]] bool IsCalendarDate(const CalendarDate& date) noexcept;

// 月 for Monday … 日 for Sunday. `date` must be a calendar date.
[[nodiscard]] char16_t WeekdayOf(const CalendarDate& date) noexcept;

// Today's local date.
[[nodiscard]] CalendarDate Today() noexcept;

}  // namespace corvalith
