// Lines are built as UTF-16 and encoded once; the fields the writer emits
// (ASCII, 第, 回, the weekdays and the header) all have code page 932 forms.
#include "history/draw_writer.h"

#include <algorithm>
#include <vector>

#include "text/cp932.h"
#include "text/cp932_encode.h"

namespace corvalith {
namespace {

constexpr std::u16string_view kHeader = u"回号,抽せん日,曜日,当せん番号,備考";
constexpr std::size_t kPaddingLookBack = 1000;  // lines searched for a date that tells

// Whether the date field of `line` shows padding (true), shows none (false)
// or cannot tell (two-digit month and day from 10 up).
std::optional<bool> PaddingOf(std::string_view line) {
    std::u16string text;
    if (!Cp932Decoder().Decode(line, text)) return std::nullopt;
    DrawFields fields;
    fields.Split(text);
    if (fields.size() < 2) return std::nullopt;
    const std::u16string_view date = fields[1];
    const std::size_t first = date.find(u'/');
    const std::size_t second = date.find(u'/', first + 1);
    if (first == std::u16string_view::npos || second == std::u16string_view::npos) {
        return std::nullopt;
    }
    const std::u16string_view month = date.substr(first + 1, second - first - 1);
    const std::u16string_view day = date.substr(second + 1);
    if (month.size() == 1 || day.size() == 1) return false;
    if (month.front() == u'0' || day.front() == u'0') return true;
    return std::nullopt;
}

void AppendNumber(std::u16string& out, long long value, int width) {
    std::string digits = std::to_string(value);
    while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
    out.append(digits.begin(), digits.end());
}

std::u16string DateText(const CalendarDate& date, bool padded) {
    std::u16string text;
    AppendNumber(text, date.year, 4);
    text += u'/';
    AppendNumber(text, date.month, padded ? 2 : 1);
    text += u'/';
    AppendNumber(text, date.day, padded ? 2 : 1);
    return text;
}

std::string Encoded(std::u16string_view text) {
    std::string bytes;
    if (!EncodeCp932(text, bytes)) bytes.clear();  // not reached: every character has a form
    return bytes;
}

// The byte ranges of the fields of `line`, quotes included.
std::vector<std::pair<std::size_t, std::size_t>> FieldRanges(std::string_view line) {
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ',' && !quoted) {
            ranges.emplace_back(start, i);
            start = i + 1;
        }
    }
    ranges.emplace_back(start, line.size());
    return ranges;
}

std::u16string PayoutText(const DrawPayouts& payouts, std::size_t kind) {
    std::u16string text;
    if (payouts.amounts[kind]) AppendNumber(text, *payouts.amounts[kind], 1);
    return text;
}

}  // namespace

std::string WithPayoutFields(std::string_view line, const DrawPayouts& payouts) {
    std::string_view body = line;
    const bool cr = !body.empty() && body.back() == '\r';
    if (cr) body.remove_suffix(1);
    const auto ranges = FieldRanges(body);
    const bool quoted = !body.empty() && body.front() == '"';
    std::string out(body.substr(0, ranges.size() > 5 ? ranges[4].second : body.size()));
    for (std::size_t k = 0; k < kPayoutKindCount; ++k) {
        out += quoted ? ",\"" : ",";
        out += Encoded(PayoutText(payouts, k));
        if (quoted) out += '"';
    }
    if (cr) out += '\r';
    return out;
}

std::optional<std::string> HeaderWithPayouts(std::string_view header) {
    std::string_view body = header;
    const bool cr = !body.empty() && body.back() == '\r';
    if (cr) body.remove_suffix(1);
    std::string plain(body);
    plain.erase(std::remove(plain.begin(), plain.end(), '"'), plain.end());
    if (plain != Encoded(kHeader)) return std::nullopt;
    const bool quoted = !body.empty() && body.front() == '"';
    std::string out(body);
    for (const std::u16string_view name : kPayoutHeaderNames) {
        out += quoted ? ",\"" : ",";
        out += Encoded(name);
        if (quoted) out += '"';
    }
    if (cr) out += '\r';
    return out;
}

std::string NewHistoryBytes() { return Encoded(kHeader) + '\n'; }

LineStyle StyleOf(const HistoryImage& image) {
    LineStyle style;
    if (image.draws.empty()) return style;
    const DrawRecord& last = image.draws.back();
    const std::string_view line = LineOf(image, last);
    style.quoted = !line.empty() && line.front() == '"';
    if (last.begin + last.length < image.bytes.size()) {
        style.crlf = !line.empty() && line.back() == '\r';
    } else if (last.begin >= 2) {
        style.crlf = image.bytes[last.begin - 2] == '\r';  // the break before the last line
    }
    const std::size_t count = image.draws.size();
    for (std::size_t k = 0; k < count && k < kPaddingLookBack; ++k) {
        const std::optional<bool> padded = PaddingOf(LineOf(image, image.draws[count - 1 - k]));
        if (padded) {
            style.padded = *padded;
            break;
        }
    }
    return style;
}

std::string FormatDrawLine(const LineStyle& style, std::int32_t number, const CalendarDate& date,
                           const ResultDigits& result, const DrawPayouts& payouts) {
    std::u16string fields[5 + kPayoutKindCount];
    const std::size_t count = payouts.Any() ? 5 + kPayoutKindCount : 5;
    for (std::size_t k = 0; k < kPayoutKindCount; ++k) fields[5 + k] = PayoutText(payouts, k);
    fields[0] = u"第";
    AppendNumber(fields[0], number, 1);
    fields[0] += u"回";
    fields[1] = DateText(date, style.padded);
    fields[2] = std::u16string(1, WeekdayOf(date));
    fields[3] = std::u16string(result.begin(), result.end());
    fields[4] = u"-";
    std::u16string line;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) line += u',';
        if (style.quoted) line += u'"';
        line += fields[i];
        if (style.quoted) line += u'"';
    }
    line += style.crlf ? u"\r\n" : u"\n";
    return Encoded(line);
}

std::string ReplaceDrawFields(std::string_view line, const LineStyle& style,
                              const ResultDigits& result, const std::optional<CalendarDate>& date,
                              const std::optional<DrawPayouts>& payouts) {
    if (payouts) return WithPayoutFields(ReplaceDrawFields(line, style, result, date), *payouts);
    std::string_view body = line;
    const bool cr = !body.empty() && body.back() == '\r';
    if (cr) body.remove_suffix(1);
    const auto ranges = FieldRanges(body);
    std::string out(body);
    // Field 4 first, then 3, so that field 2's offsets still hold when it changes length.
    auto replace = [&out, body](std::pair<std::size_t, std::size_t> range,
                                const std::string& text) {
        std::size_t begin = range.first;
        std::size_t end = range.second;
        if (end - begin >= 2 && body[begin] == '"' && body[end - 1] == '"') {
            ++begin;
            --end;
        }
        out.replace(begin, end - begin, text);
    };
    if (ranges.size() > 3) replace(ranges[3], std::string(result.begin(), result.end()));
    if (date && ranges.size() > 2) replace(ranges[2], Encoded(std::u16string(1, WeekdayOf(*date))));
    if (date && ranges.size() > 1) replace(ranges[1], Encoded(DateText(*date, style.padded)));
    if (cr) out += '\r';
    return out;
}

}  // namespace corvalith
