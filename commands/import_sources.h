// The results an import reads, recognised by their content: the history
// format itself (code page 932 or UTF-8, with or without a byte-order mark),
// CSV or TSV with a header naming the draw, date and result columns, or plain
// pasted lines `第7055回 2026/8/24 1234`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/draw_writer.h"

namespace corvalith {

struct ImportSource {
    std::string name;   // as shown in messages ("-" for standard input), UTF-8
    std::string bytes;  // the whole content
};

enum class SourceForm { History, Table, Lines };

struct SourceDraw {
    std::int32_t number = 0;
    std::uint32_t dateKey = 0;  // yyyymmdd, a calendar date
    ResultDigits result{};
    // Where it came from: `firstLine` of its source plus its 1-based line
    // there. One number for both keeps a draw at 16 bytes.
    std::uint32_t line = 0;
};

// Appends the draws of `source` to `draws`, their lines counted from
// `firstLine` (the lines of the sources before it, so that the source can be
// told by its line).
// On a line that cannot be read: false, `error` says which line and why (the
// draws appended so far stay). May throw std::bad_alloc.
[[nodiscard]] bool ReadSource(const ImportSource& source, std::uint32_t firstLine,
                              std::vector<SourceDraw>& draws, SourceForm& form,
                              std::u16string& error);

[[nodiscard]] CalendarDate DateOfKey(std::uint32_t key) noexcept;

}  // namespace corvalith
