// A history held as its bytes with the position and reading of every draw
// line: what the writer reads before it changes a file, and checks the new
// bytes with before they replace it. The rules are the reader's.
#pragma once

#include <cstdint>
#include <string>
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

// Reads `image.bytes` under `limits` and fills the other members. False when
// the reader would refuse the bytes (the members are then unspecified). May
// throw std::bad_alloc.
[[nodiscard]] bool ReadHistoryImage(const HistoryLimits& limits, HistoryImage& image);

// The draw line of `record`, without its line break.
[[nodiscard]] std::string_view LineOf(const HistoryImage& image, const DrawRecord& record) noexcept;

}  // namespace corvalith
