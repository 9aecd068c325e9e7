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
#include "history/line_reader.h"
#include "text/cp932.h"

namespace corvalith {
namespace {

constexpr std::size_t kFastDigits = 9;              // any nine digits fit in 32 bits
constexpr std::string_view kDaiBytes = "\x91\xE6";  // 第 in code page 932
constexpr std::string_view kKaiBytes = "\x89\xF1";  // 回

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
    if (found < kDrawLineFields - 1) return false;  // fewer fields than a draw line has
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
    record.dateKey =
        CalendarDate{static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)}.Key();
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

LineRefusal DrawLineCursor::ReadDecoded(std::string_view line, DrawRecord& record,
                                        std::int32_t& firstNumber) {
    if (!DecodeHistoryLine(line, line_)) return LineRefusal::NotCp932;
    firstNumber = FirstDrawNumberIn(line_);
    switch (ReadDrawLine(line_, fields_, reading_)) {
        case DrawLineFault::None:
            break;
        case DrawLineFault::TooFewFields:
            return LineRefusal::TooFewFields;
        case DrawLineFault::DrawNumber:
            return LineRefusal::DrawNumber;
        case DrawLineFault::Date:
            return LineRefusal::Date;
    }
    record.number = reading_.number;
    record.result = reading_.result;
    record.dateKey = reading_.date.Key();
    return LineRefusal::None;
}

DrawLineCursor::Step DrawLineCursor::Next(DrawRecord& record, std::int32_t& firstNumber) {
    refusal_ = LineRefusal::None;
    if (header_ && bytes_.empty()) {
        header_ = false;
        refusal_ = LineRefusal::NoHeader;
        return Step::Refused;
    }
    while (at_ < bytes_.size()) {
        const std::size_t found = bytes_.find('\n', at_);
        const std::size_t end = found == std::string_view::npos ? bytes_.size() : found;
        const std::size_t begin = at_;
        const std::string_view line = bytes_.substr(begin, end - begin);
        at_ = end + 1;
        ++lines_;
        last_ = line;
        if (line.size() > limits_.maxLineBytes) {
            header_ = false;
            refusal_ = LineRefusal::TooLong;
            return Step::Refused;
        }
        if (header_) {
            header_ = false;
            if (!Cp932Decoder().IsValid(line)) {
                refusal_ = LineRefusal::NotCp932;
                return Step::Refused;
            }
            continue;
        }
        if (!ReadCommonLine(line, record, firstNumber)) {
            refusal_ = ReadDecoded(line, record, firstNumber);
            if (refusal_ != LineRefusal::None) return Step::Refused;
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
