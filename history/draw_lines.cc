// One pass over the file: the header is skipped, every further line must be a
// draw line of at least five fields with a valid draw number and date.
#include "history/draw_lines.h"

#include <algorithm>
#include <optional>

#include "history/draw_fields.h"
#include "history/draw_number.h"
#include "history/line_reader.h"

namespace corvalith::detail {
namespace {

constexpr std::size_t kMinFields = 5;

}  // namespace

bool ReadDrawLines(const HistoryLimits& limits, const std::string& path, DigitLists& lists,
                   std::vector<std::int32_t>* numbers, std::int32_t* highest,
                   const LoadProgress* progress) {
    HistoryLineReader reader(limits.maxLineBytes, limits.maxFileBytes);
    if (!reader.Open(path)) return false;
    std::u16string line;
    if (reader.Next(line) != LineStatus::Line) return false;  // the header must be there

    if (highest != nullptr) *highest = 0;
    DrawFields fields;
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
        fields.Split(line);
        if (fields.size() < kMinFields) return false;
        if (!IsDrawNumberField(fields[0]) || !IsDateField(fields[1])) return false;
        if (numbers != nullptr) {
            // The field is 第<number>回 with a number the strict rule accepts.
            const std::u16string_view field = fields[0];
            const std::optional<std::int32_t> number =
                ParseInt32Strict(field.substr(1, field.size() - 2));
            if (!number) return false;
            numbers->push_back(*number);
        }
        const ResultCharacters result = PadResultField(fields[3]);
        for (std::size_t p = 0; p < lists.size(); ++p) lists[p].push_back(result[p]);
    }
}

}  // namespace corvalith::detail
