// Field rules of a draw line, written by hand rather than with std::regex
// and std::stoi so that a million-line history reads at file speed; the
// tests compare them against the library versions.
#include "history/draw_fields.h"

#include <limits>

#include "history/characters.h"

namespace corvalith {

void DrawFields::Split(std::u16string_view line) {
    text_.clear();
    ends_.clear();
    bool quoted = false;
    for (const char16_t c : line) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            ends_.push_back(text_.size());
        } else {
            text_.push_back(c);
        }
    }
    ends_.push_back(text_.size());
}

std::u16string_view DrawFields::operator[](std::size_t index) const noexcept {
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::u16string_view(text_).substr(begin, ends_[index] - begin);
}

LeadingInteger ScanLeadingInteger(std::u16string_view text) noexcept {
    constexpr std::int64_t kCap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
    LeadingInteger result;
    std::size_t i = 0;
    while (i < text.size() && IsAsciiSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        result.negative = text[i] == u'-';
        ++i;
    }
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i) {
        result.hasDigits = true;
        if (result.magnitude < kCap) result.magnitude = result.magnitude * 10 + (text[i] - u'0');
        if (result.magnitude > kCap) result.magnitude = kCap;
    }
    return result;
}

std::optional<std::int32_t> ParseInt32Strict(std::u16string_view text) noexcept {
    const LeadingInteger n = ScanLeadingInteger(text);
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    if (!n.hasDigits || n.magnitude > kMax + (n.negative ? 1 : 0)) return std::nullopt;
    return static_cast<std::int32_t>(n.negative ? -n.magnitude : n.magnitude);
}

bool IsDrawNumberField(std::u16string_view field) noexcept {
    if (field.size() < 3 || field.front() != kDai || field.back() != kKai) return false;
    return ParseInt32Strict(field.substr(1, field.size() - 2)).has_value();
}

bool IsDateField(std::u16string_view field) noexcept {
    std::size_t i = 0;
    auto digits = [&](std::size_t least, std::size_t most) {
        std::size_t n = 0;
        while (n < most && i < field.size() && IsAsciiDigit(field[i])) ++i, ++n;
        return n >= least;
    };
    auto slash = [&] {
        if (i < field.size() && field[i] == u'/') return ++i, true;
        return false;
    };
    return digits(4, 4) && slash() && digits(1, 2) && slash() && digits(1, 2) && i == field.size();
}

ResultCharacters PadResultField(std::u16string_view field) noexcept {
    ResultCharacters padded = {u'0', u'0', u'0', u'0'};
    const std::size_t used = field.size() < 4 ? field.size() : 4;
    for (std::size_t k = 0; k < used; ++k) padded[4 - used + k] = field[k];
    return padded;
}

}  // namespace corvalith
