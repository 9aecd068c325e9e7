// Every form is read after NarrowedText, so full-width input needs no rule of its own.
#include "commands/draw_input.h"

#include <charconv>
#include <limits>

#include "history/characters.h"

namespace corvalith {
namespace {

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
    return text;
}

// A run of ASCII digits at `at` (1 to `max` of them) as a number.
std::optional<std::int64_t> Number(std::u16string_view text, std::size_t& at, std::size_t max) {
    std::int64_t value = 0;
    std::size_t n = 0;
    while (at < text.size() && IsAsciiDigit(text[at]) && n < max) {
        value = value * 10 + (text[at] - u'0');
        ++at;
        ++n;
    }
    if (n == 0) return std::nullopt;
    return value;
}

}  // namespace

std::u16string NarrowedText(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c >= u'\uFF01' && c <= u'\uFF5E') c = static_cast<char16_t>(c - 0xFEE0);
        if (c == u'\u3000') c = u' ';
    }
    return out;
}

std::optional<ResultDigits> ResultOf(std::u16string_view text) {
    const std::u16string narrow = NarrowedText(text);
    if (narrow.size() != 4) return std::nullopt;
    ResultDigits digits{};
    for (std::size_t i = 0; i < 4; ++i) {
        if (!IsAsciiDigit(narrow[i])) return std::nullopt;
        digits[i] = static_cast<char>(narrow[i]);
    }
    return digits;
}

std::optional<CalendarDate> InputDateOf(std::u16string_view input) {
    const std::u16string narrow = NarrowedText(input);
    std::u16string_view text = Trimmed(narrow);
    // A weekday in brackets after the date: (月), （月）, (Mon) …
    if (const std::size_t open = text.find(u'(');
        open != std::u16string_view::npos && !text.empty() && text.back() == u')') {
        text = Trimmed(text.substr(0, open));
    }
    std::size_t at = 0;
    if (text.size() < 8 || text.size() > 11) return std::nullopt;
    const auto year = Number(text, at, 4);
    // The history's reader takes years from 1000 on only.
    if (!year || *year < 1000 || at != 4 || at >= text.size()) return std::nullopt;
    const char16_t separator = text[at];
    const bool kanji = separator == u'年';
    if (!kanji && separator != u'/' && separator != u'-' && separator != u'.') return std::nullopt;
    ++at;
    const auto month = Number(text, at, 2);
    if (!month || at >= text.size() || text[at] != (kanji ? u'月' : separator)) return std::nullopt;
    ++at;
    const auto day = Number(text, at, 2);
    if (!day) return std::nullopt;
    if (kanji && at < text.size() && text[at] == u'日') ++at;
    if (at != text.size()) return std::nullopt;
    const CalendarDate date{static_cast<int>(*year), static_cast<int>(*month),
                            static_cast<int>(*day)};
    if (!IsCalendarDate(date)) return std::nullopt;
    return date;
}

std::optional<std::int32_t> InputDrawOf(std::u16string_view input) {
    const std::u16string narrow = NarrowedText(input);
    std::u16string_view text = Trimmed(narrow);
    if (!text.empty() && text.front() == kDai) text = Trimmed(text.substr(1));
    if (!text.empty() && text.back() == kKai) text = Trimmed(text.substr(0, text.size() - 1));
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::size_t at = 0;
    const auto value = Number(text, at, 10);
    if (!value || at != text.size() || *value < 1 ||
        *value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

std::u16string DateShown(const CalendarDate& date) {
    const std::string text = std::to_string(date.year) + "/" + std::to_string(date.month) + "/" +
                             std::to_string(date.day);
    return std::u16string(text.begin(), text.end());
}

std::optional<DrawPayouts> PayoutsOf(std::u16string_view text) {
    const std::u16string narrow = NarrowedText(text);
    DrawPayouts payouts;
    std::size_t start = 0;
    for (std::size_t k = 0; k < kPayoutKindCount; ++k) {
        const std::size_t comma = narrow.find(u',', start);
        const bool last = k + 1 == kPayoutKindCount;
        if (last != (comma == std::u16string::npos)) return std::nullopt;
        std::u16string_view part = std::u16string_view(narrow).substr(
            start, last ? std::u16string_view::npos : comma - start);
        while (!part.empty() && IsAsciiSpace(part.front())) part.remove_prefix(1);
        while (!part.empty() && IsAsciiSpace(part.back())) part.remove_suffix(1);
        if (!ParsePayoutField(part, payouts.amounts[k])) return std::nullopt;
        start = comma + 1;
    }
    return payouts;
}

}  // namespace corvalith
