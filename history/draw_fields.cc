// Field rules of a draw line, written by hand rather than with std::regex
// and std::stoi so that a million-line history reads at file speed; the
// tests compare them against the library versions.
#include "history/draw_fields.h"

#include <limits>

#include "history/characters.h"

namespace corvalith {

void DrawFields::Split(std::u16string_view line) {
    // Written through a pointer into storage sized for the whole line, which
    // the fields never exceed.
    text_.resize(line.size());
    ends_.clear();
    char16_t* const first = text_.data();
    char16_t* out = first;
    bool quoted = false;
    for (const char16_t c : line) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            ends_.push_back(static_cast<std::size_t>(out - first));
        } else {
            *out++ = c;
        }
    }
    text_.resize(static_cast<std::size_t>(out - first));
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

std::optional<std::int32_t> DrawNumberOfField(std::u16string_view field) noexcept {
    if (field.size() < 3 || field.front() != kDai || field.back() != kKai) return std::nullopt;
    return ParseInt32Strict(field.substr(1, field.size() - 2));
}

bool IsDrawNumberField(std::u16string_view field) noexcept {
    return DrawNumberOfField(field).has_value();
}

bool IsDateField(std::u16string_view field) noexcept { return DateOfField(field).has_value(); }

ResultCharacters PadResultField(std::u16string_view field) noexcept {
    ResultCharacters padded = {u'0', u'0', u'0', u'0'};
    const std::size_t used = field.size() < 4 ? field.size() : 4;
    for (std::size_t k = 0; k < used; ++k) padded[4 - used + k] = field[k];
    return padded;
}

DrawLineFault ReadDrawLine(std::u16string_view line, DrawFields& fields, DrawLineReading& reading) {
    fields.Split(line);
    if (fields.size() < kDrawLineFields) return DrawLineFault::TooFewFields;
    const std::optional<std::int32_t> n = DrawNumberOfField(fields[0]);
    if (!n) return DrawLineFault::DrawNumber;
    const std::optional<CalendarDate> date = DateOfField(fields[1]);
    if (!date) return DrawLineFault::Date;
    reading.number = *n;
    reading.date = *date;
    reading.result = PadResultField(fields[3]);
    return DrawLineFault::None;
}

}  // namespace corvalith
