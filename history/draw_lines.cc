// One pass over the file: the header is skipped, every further line must be
// a draw line by ReadDrawLine.
#include "history/draw_lines.h"

#include <algorithm>

#include "history/draw_fields.h"
#include "history/draw_number.h"
#include "history/line_reader.h"

namespace corvalith::detail {

bool ReadDrawLines(const HistoryLimits& limits, const std::string& path, DigitLists& lists,
                   std::vector<std::int32_t>* numbers, std::int32_t* highest,
                   const LoadProgress* progress) {
    HistoryLineReader reader(limits.maxLineBytes, limits.maxFileBytes);
    if (!reader.Open(path)) return false;
    std::u16string line;
    if (reader.Next(line) != LineStatus::Line) return false;  // the header must be there

    if (highest != nullptr) *highest = 0;
    DrawFields fields;
    DrawLineReading reading;
    std::size_t told = 0;  // the bytes read when `progress` was last told
    for (;;) {
        const LineStatus status = reader.Next(line);
        if (progress != nullptr && reader.BytesRead() != told) {
            told = reader.BytesRead();
            if (!(*progress)(told, std::max(told, reader.FileBytes()))) return false;
        }
        if (status == LineStatus::End) return true;
        if (status == LineStatus::Error) return false;
        if (lists[0].size() >= limits.maxDraws) return false;
        if (highest != nullptr) *highest = std::max(*highest, FirstDrawNumberIn(line));
        if (ReadDrawLine(line, fields, reading) != DrawLineFault::None) return false;
        if (numbers != nullptr) numbers->push_back(reading.number);
        const ResultCharacters& result = reading.result;
        for (std::size_t p = 0; p < lists.size(); ++p) lists[p].push_back(result[p]);
    }
}

}  // namespace corvalith::detail
