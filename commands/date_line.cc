// Date-line formatting.
#include "commands/date_line.h"

#include <cstdio>

namespace corvalith {

std::u16string FormatDateLine(const std::tm* local) {
    static constexpr const char16_t* kWeekdays[] = {u"日", u"月", u"火", u"水",
                                                    u"木", u"金", u"土"};
    const int year = local ? local->tm_year + 1900 : 0;
    const int month = local ? local->tm_mon + 1 : 0;
    const int day = local ? local->tm_mday : 0;
    const int hour = local ? local->tm_hour : -1;
    const int minute = local ? local->tm_min : -1;
    const int second = local ? local->tm_sec : -1;
    const char16_t* weekday =
        (local && local->tm_wday >= 0 && local->tm_wday < 7) ? kWeekdays[local->tm_wday] : u"";

    char date[32];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d(", year, month, day);
    char time[32];
    std::snprintf(time, sizeof time, ") %02d:%02d:%02d", hour, minute, second);

    std::u16string line;
    for (const char* p = date; *p; ++p) line.push_back(static_cast<char16_t>(*p));
    line += weekday;
    for (const char* p = time; *p; ++p) line.push_back(static_cast<char16_t>(*p));
    return line;
}

std::u16string CurrentDateLine() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    return FormatDateLine(::localtime_r(&now, &local) ? &local : nullptr);
}

}  // namespace corvalith
