// A history held as its bytes with the position and reading of every draw
// line: what the writer reads before it changes a file, and checks the new
// bytes with before they replace it. The rules are the reader's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/draw_fields.h"
#include "history/draw_history.h"

namespace corvalith {

struct DrawRecord {
    std::int32_t number = 0;    // the N of 第N回
    ResultCharacters result{};  // as the reader takes them
    std::uint32_t dateKey = 0;  // yyyymmdd of field 2
    std::uint32_t begin = 0;    // first byte of the line
    std::uint32_t length = 0;   // bytes up to the LF (a CR before it included)
};

struct HistoryImage {
    std::string bytes;
    std::vector<DrawRecord> draws;  // file order
    std::int32_t highest = 0;       // what ScanHighestDrawNumber finds (0: none)
    bool endsWithBreak = true;      // the last byte is a LF (or the file is empty)
};

// Why a line of a history's bytes is refused.
enum class LineRefusal {
    None,
    NoHeader,      // the bytes are empty: no header line
    TooLong,       // longer than the line limit
    NotCp932,      // not valid code page 932
    TooFewFields,  // the DrawLineFault of the same name
    DrawNumber,
    Date,
};

// The lines of a history's bytes read one at a time with the reader's rules,
// from a line start: offset 0 is the header, any later line start (just
// after a LF) is a draw line. Lines shared by an old and a new content need
// not be read twice.
class DrawLineCursor {
  public:
    enum class Step { Draw, End, Refused };

    DrawLineCursor(const HistoryLimits& limits, std::string_view bytes, std::size_t from) noexcept
        : limits_(limits), bytes_(bytes), at_(from), header_(from == 0) {}

    // The reading of the next draw line and the number FirstDrawNumberIn
    // finds in it; Refused when the reader would refuse the line (or, from
    // offset 0, bytes without a header), Refusal() then saying why. After a
    // refusal the next call goes on with the following line. The draw limit
    // is the caller's. May throw std::bad_alloc.
    [[nodiscard]] Step Next(DrawRecord& record, std::int32_t& firstNumber);

    // Why the last Next refused its line.
    [[nodiscard]] LineRefusal Refusal() const noexcept { return refusal_; }
    // The lines taken so far, the header included: the 1-based line number
    // of the last one when reading from offset 0.
    [[nodiscard]] std::size_t LinesTaken() const noexcept { return lines_; }
    // The bytes of the last line taken, its LF excluded.
    [[nodiscard]] std::string_view LastLine() const noexcept { return last_; }

  private:
    [[nodiscard]] LineRefusal ReadDecoded(std::string_view line, DrawRecord& record,
                                          std::int32_t& firstNumber);

    const HistoryLimits& limits_;
    std::string_view bytes_;
    std::size_t at_;
    bool header_;
    std::size_t lines_ = 0;
    std::string_view last_;
    LineRefusal refusal_ = LineRefusal::None;
    std::u16string line_;
    DrawFields fields_;
    DrawLineReading reading_;
};

// Reads `image.bytes` under `limits` and fills the other members. False when
// the reader would refuse the bytes (the members are then unspecified). May
// throw std::bad_alloc.
[[nodiscard]] bool ReadHistoryImage(const HistoryLimits& limits, HistoryImage& image);

// The draw line of `record`, without its line break.
[[nodiscard]] std::string_view LineOf(const HistoryImage& image, const DrawRecord& record) noexcept;

}  // namespace corvalith
