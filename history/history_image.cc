// One pass over bytes in memory with the reader's checks: the header must be
// there, no line longer than the limit, every draw line of five fields with
// a 第N回 number and a date. Each line is read on its own, which is exact
// because the byte 0x0A is never part of a two-byte character.
//
// The common draw line (no quotes, no CR but the one before the LF, 第N回
// with up to nine digits, an ASCII date and result) is read straight from
// its bytes after one table check of the whole line; any other line is
// decoded and read through the field rules. Both give the same reading: in
// valid code page 932 the bytes of the comma, the double quote, CR, LF, the
// digits and the slash never occur as the second byte of a two-byte
// character, so each such byte is that character, and bytes 0x00 .. 0x7F
// decode to themselves.
#include "history/history_image.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "history/draw_date.h"
#include "history/draw_number.h"
#include "text/cp932.h"

namespace corvalith {
namespace {

constexpr std::size_t kMinFields = 5;
constexpr std::size_t kFastDigits = 9;              // any nine digits fit in 32 bits
constexpr std::string_view kDaiBytes = "\x91\xE6";  // 第 in code page 932
constexpr std::string_view kKaiBytes = "\x89\xF1";  // 回

void RemoveCarriageReturns(std::u16string& line) {
    line.erase(std::remove(line.begin(), line.end(), u'\r'), line.end());
}

bool IsDigitByte(char c) noexcept { return c >= '0' && c <= '9'; }

// `count` digits at `p` as a number.
std::uint32_t DigitsValue(const char* p, std::size_t count) noexcept {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = value * 10 + static_cast<std::uint32_t>(p[i] - '0');
    return value;
}

// The run of 1 .. `most` digits at `at` in `field`, moving `at` past it.
bool DigitRun(std::string_view field, std::size_t& at, std::size_t least, std::size_t most,
              std::uint32_t& value) noexcept {
    const std::size_t begin = at;
    while (at < field.size() && at - begin < most && IsDigitByte(field[at])) ++at;
    if (at - begin < least) return false;
    value = DigitsValue(field.data() + begin, at - begin);
    return true;
}

// The common draw line read from its bytes; false when the line is not of
// that form (it may still be a draw line the decoded reading accepts).
bool ReadCommonLine(std::string_view line, DrawRecord& record, std::int32_t& firstNumber) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kDaiBytes.size()) != kDaiBytes) return false;
    // One pass: the first four commas, and no double quote or CR anywhere.
    std::string_view fields[4];
    std::size_t found = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' || c == '\r') return false;
        if (c == ',' && found < 4) {
            fields[found++] = line.substr(start, i - start);
            start = i + 1;
        }
    }
    if (found < 4) return false;  // fewer than five fields
    // Field 1: 第 digits 回.
    const std::string_view number = fields[0];
    if (number.size() < kDaiBytes.size() + 1 + kKaiBytes.size() ||
        number.substr(number.size() - kKaiBytes.size()) != kKaiBytes) {
        return false;
    }
    const std::string_view digits =
        number.substr(kDaiBytes.size(), number.size() - kDaiBytes.size() - kKaiBytes.size());
    if (digits.size() > kFastDigits || !std::all_of(digits.begin(), digits.end(), IsDigitByte)) {
        return false;
    }
    // Field 2: yyyy/m/d in ASCII digits.
    const std::string_view date = fields[1];
    std::size_t at = 0;
    std::uint32_t year = 0;
    std::uint32_t month = 0;
    std::uint32_t day = 0;
    if (!DigitRun(date, at, 4, 4, year) || at >= date.size() || date[at++] != '/' ||
        !DigitRun(date, at, 1, 2, month) || at >= date.size() || date[at++] != '/' ||
        !DigitRun(date, at, 1, 2, day) || at != date.size()) {
        return false;
    }
    // Field 4: ASCII characters, widened as the decoder would.
    const std::string_view result = fields[3];
    if (std::any_of(result.begin(), result.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        return false;
    }
    if (!Cp932Decoder().IsValid(line)) return false;

    char16_t widened[4] = {};
    const std::size_t used = std::min<std::size_t>(result.size(), 4);
    for (std::size_t k = 0; k < used; ++k) widened[k] = static_cast<unsigned char>(result[k]);
    record.result = PadResultField(std::u16string_view(widened, used));
    record.number = static_cast<std::int32_t>(DigitsValue(digits.data(), digits.size()));
    record.dateKey = year * 10000 + month * 100 + day;
    // The line starts with 第N回, so that is the first match of the number scan.
    firstNumber = record.number;
    return true;
}

std::size_t LineBreaks(std::string_view bytes) noexcept {
    std::size_t count = 0;
    const char* const end = bytes.data() + bytes.size();
    for (const char* p = bytes.data();; ++p) {
        p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (p == nullptr) return count;
        ++count;
    }
}

}  // namespace

bool DrawLineCursor::ReadDecoded(std::string_view line, DrawRecord& record,
                                 std::int32_t& firstNumber) {
    line_.clear();
    if (!Cp932Decoder().Decode(line, line_)) return false;
    RemoveCarriageReturns(line_);
    firstNumber = FirstDrawNumberIn(line_);
    fields_.Split(line_);
    if (fields_.size() < kMinFields) return false;
    const std::u16string_view number = fields_[0];
    if (!IsDrawNumberField(number) || !IsDateField(fields_[1])) return false;
    const std::optional<std::int32_t> n = ParseInt32Strict(number.substr(1, number.size() - 2));
    const std::optional<CalendarDate> date = DateOfField(fields_[1]);
    if (!n || !date) return false;
    record.number = *n;
    record.result = PadResultField(fields_[3]);
    record.dateKey = date->Key();
    return true;
}

DrawLineCursor::Step DrawLineCursor::Next(DrawRecord& record, std::int32_t& firstNumber) {
    if (header_ && bytes_.empty()) return Step::Refused;
    while (at_ < bytes_.size()) {
        const std::size_t found = bytes_.find('\n', at_);
        const std::size_t end = found == std::string_view::npos ? bytes_.size() : found;
        if (end - at_ > limits_.maxLineBytes) return Step::Refused;
        const std::string_view line = bytes_.substr(at_, end - at_);
        const std::size_t begin = at_;
        at_ = end + 1;
        if (header_) {
            header_ = false;
            if (!Cp932Decoder().IsValid(line)) return Step::Refused;
            continue;
        }
        if (!ReadCommonLine(line, record, firstNumber) && !ReadDecoded(line, record, firstNumber)) {
            return Step::Refused;
        }
        record.begin = static_cast<std::uint32_t>(begin);
        record.length = static_cast<std::uint32_t>(end - begin);
        return Step::Draw;
    }
    return Step::End;
}

bool ReadHistoryImage(const HistoryLimits& limits, HistoryImage& image) {
    const std::string& bytes = image.bytes;
    image.draws.clear();
    image.highest = 0;
    image.endsWithBreak = bytes.empty() || bytes.back() == '\n';
    if (bytes.empty() || bytes.size() > limits.maxFileBytes) return false;

    image.draws.reserve(std::min(LineBreaks(bytes), limits.maxDraws));
    DrawLineCursor cursor(limits, bytes, 0);
    DrawRecord record;
    std::int32_t first = 0;
    for (;;) {
        switch (cursor.Next(record, first)) {
            case DrawLineCursor::Step::End:
                return true;
            case DrawLineCursor::Step::Refused:
                return false;
            case DrawLineCursor::Step::Draw:
                break;
        }
        if (image.draws.size() >= limits.maxDraws) return false;
        image.highest = std::max(image.highest, first);
        image.draws.push_back(record);
    }
}

std::string_view LineOf(const HistoryImage& image, const DrawRecord& record) noexcept {
    return std::string_view(image.bytes).substr(record.begin, record.length);
}

}  // namespace corvalith
