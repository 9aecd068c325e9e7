// The field rules of a draw line: splitting at commas with double quotes,
// the 第N回 draw number, the yyyy/m/d date and the four-digit result.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/draw_date.h"

namespace corvalith {

// The fields of one line, stored back to back without their quotes.
class DrawFields {
  public:
    // Splits `line`: a double quote flips the quoted state and is dropped; a
    // comma outside quotes ends a field; the text after the last comma is a
    // field too. Reuses its storage between lines. May throw std::bad_alloc.
    void Split(std::u16string_view line);

    [[nodiscard]] std::size_t size() const noexcept { return ends_.size(); }
    // Field `index`, counted from 0.
    [[nodiscard]] std::u16string_view operator[](std::size_t index) const noexcept;

  private:
    std::u16string text_;
    std::vector<std::size_t> ends_;
};

// The leading integer of a text: ASCII white space, an optional sign, then
// ASCII digits up to the first other character. `magnitude` stops growing
// just past the 32-bit range, which is all the callers need to tell in-range
// values from the others.
struct LeadingInteger {
    bool hasDigits = false;
    bool negative = false;
    std::int64_t magnitude = 0;  // at most 2^31 + 1
};
[[nodiscard]] LeadingInteger ScanLeadingInteger(std::u16string_view text) noexcept;

// The standard base-10 string-to-int rule (leading ASCII white space, optional
// sign, ASCII digits, stop at the first other character). Nothing when there
// are no digits or the value is outside the signed 32-bit range.
[[nodiscard]] std::optional<std::int32_t> ParseInt32Strict(std::u16string_view text) noexcept;

// The number of a field 第<number>回 with a number ParseInt32Strict accepts;
// nothing for any other text.
[[nodiscard]] std::optional<std::int32_t> DrawNumberOfField(std::u16string_view field) noexcept;

// True when `field` is 第<number>回 with a number ParseInt32Strict accepts.
[[nodiscard]] bool IsDrawNumberField(std::u16string_view field) noexcept;

// True when the whole field matches \d{4}/\d{1,2}/\d{1,2} (ASCII digits):
// when DateOfField reads it.
[[nodiscard]] bool IsDateField(std::u16string_view field) noexcept;

// The four characters of a result field, thousands first: padded on the left
// with '0' to four characters, or cut to its first four.
using ResultCharacters = std::array<char16_t, 4>;
[[nodiscard]] ResultCharacters PadResultField(std::u16string_view field) noexcept;

// The fields every draw line has at least: 第N回, the date, the weekday, the
// result and one more.
inline constexpr std::size_t kDrawLineFields = 5;

// Why a decoded line is not a draw line, checked in this order.
enum class DrawLineFault {
    None,          // a draw line
    TooFewFields,  // fewer than kDrawLineFields fields
    DrawNumber,    // field 1 is not 第N回 (IsDrawNumberField)
    Date,          // field 2 is not a date (IsDateField)
};

// What a draw line holds for the readers.
struct DrawLineReading {
    std::int32_t number = 0;  // the N of 第N回
    CalendarDate date;        // field 2's numbers, not checked against the calendar
    ResultCharacters result{};
};

// The one rule of a draw line, for every reader of a history: splits `line`
// (its CRs already removed) into `fields` and reads it. `reading` is set
// when the answer is None. May throw std::bad_alloc.
[[nodiscard]] DrawLineFault ReadDrawLine(std::u16string_view line, DrawFields& fields,
                                         DrawLineReading& reading);

// A position's value: the character's UTF-16 code minus '0', so the digits
// give 0-9 and any other character passes through outside that range.
[[nodiscard]] constexpr std::int32_t DigitValue(char16_t c) noexcept {
    return static_cast<std::int32_t>(c) - 48;
}

}  // namespace corvalith
