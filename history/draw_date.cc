// Weekdays by the days-from-civil count (day 0 is 1970-01-01, a Thursday).
#include "history/draw_date.h"

#include <ctime>

#include "history/characters.h"

namespace corvalith {
namespace {

// Reads `min`..`max` ASCII digits from `text` at `at`.
std::optional<int> Digits(std::u16string_view text, std::size_t& at, std::size_t min,
                          std::size_t max) noexcept {
    int value = 0;
    std::size_t n = 0;
    while (at < text.size() && n < max && IsAsciiDigit(text[at])) {
        value = value * 10 + (text[at] - u'0');
        ++at;
        ++n;
    }
    if (n < min) return std::nullopt;
    return value;
}

bool IsLeapYear(int year) noexcept { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int64_t DaysFromCivil(int y, int m, int d) noexcept {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

std::optional<CalendarDate> DateOfField(std::u16string_view field) noexcept {
    std::size_t at = 0;
    const auto year = Digits(field, at, 4, 4);
    if (!year || at >= field.size() || field[at++] != u'/') return std::nullopt;
    const auto month = Digits(field, at, 1, 2);
    if (!month || at >= field.size() || field[at++] != u'/') return std::nullopt;
    const auto day = Digits(field, at, 1, 2);
    if (!day || at != field.size()) return std::nullopt;
    return CalendarDate{*year, *month, *day};
}

bool IsCalendarDate(const CalendarDate& date) noexcept {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12) return false;
    const int last = kDays[date.month - 1] + (date.month == 2 && IsLeapYear(date.year) ? 1 : 0);
    return date.day >= 1 && date.day <= last;
}

char16_t WeekdayOf(const CalendarDate& date) noexcept {
    static constexpr char16_t kNames[7] = {u'月', u'火', u'水', u'木', u'金', u'土', u'日'};
    const std::int64_t days = DaysFromCivil(date.year, date.month, date.day);
    // 1970-01-01 was a Thursday, index 3 from Monday.
    const std::int64_t index = ((days + 3) % 7 + 7) % 7;
    return kNames[index];
}

CalendarDate Today() noexcept {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return {1970, 1, 1};
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace corvalith
