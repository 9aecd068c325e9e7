// The highest-draw-number scan and the saturating leading-integer rule.
#include "history/draw_number.h"

#include <algorithm>
#include <limits>

#include "history/characters.h"
#include "history/draw_fields.h"
#include "history/draw_history.h"
#include "history/line_reader.h"

namespace corvalith {
namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// White space as the ECMAScript \s class defines it (spaces, line terminators,
// the ideographic space U+3000 and the other Zs characters), independent of
// any locale.
bool IsEcmaSpace(char16_t c) noexcept {
    if (IsAsciiSpace(c)) return true;
    switch (c) {
        case u'\u00A0':
        case u'\u1680':
        case u'\u2028':
        case u'\u2029':
        case u'\u202F':
        case u'\u205F':
        case u'\u3000':
        case u'\uFEFF':
            return true;
        default:
            return c >= u'\u2000' && c <= u'\u200A';
    }
}

// The number of the first match of 第\s*(\d+)\s*回 in `line`, or -1. The two
// space runs and the digit run are disjoint classes, so matching greedily at
// each 第 finds exactly what a backtracking regex would.
std::int32_t FirstDrawNumberIn(std::u16string_view line) noexcept {
    for (std::size_t at = line.find(kDai); at != std::u16string_view::npos;
         at = line.find(kDai, at + 1)) {
        std::size_t i = at + 1;
        while (i < line.size() && IsEcmaSpace(line[i])) ++i;
        const std::size_t digitsBegin = i;
        while (i < line.size() && IsAsciiDigit(line[i])) ++i;
        const std::size_t digitsEnd = i;
        if (digitsEnd == digitsBegin) continue;
        while (i < line.size() && IsEcmaSpace(line[i])) ++i;
        if (i < line.size() && line[i] == kKai) {
            return LeadingInt(line.substr(digitsBegin, digitsEnd - digitsBegin));
        }
    }
    return -1;
}

}  // namespace

std::int32_t LeadingInt(std::u16string_view text) noexcept {
    const LeadingInteger n = ScanLeadingInteger(text);
    if (n.negative) {
        return n.magnitude > kInt32Max ? std::numeric_limits<std::int32_t>::min()
                                       : static_cast<std::int32_t>(-n.magnitude);
    }
    return static_cast<std::int32_t>(std::min(n.magnitude, kInt32Max));
}

std::int32_t ScanHighestDrawNumber(const std::string& path) noexcept {
    try {
        HistoryLineReader reader(kHistoryLimits.maxLineBytes, kHistoryLimits.maxFileBytes);
        if (!reader.Open(path)) return 0;
        std::u16string line;
        if (reader.Next(line) != LineStatus::Line) return 0;  // header, read or not
        std::int32_t highest = 0;
        while (reader.Next(line) == LineStatus::Line) {
            const std::int32_t number = FirstDrawNumberIn(line);
            if (number > highest) highest = number;
        }
        return highest;
    } catch (...) {
        return 0;
    }
}

std::optional<std::int64_t> NextDrawNumber(std::int32_t highest) noexcept {
    if (highest <= 0) return std::nullopt;
    return std::int64_t{highest} + 1;
}

}  // namespace corvalith
