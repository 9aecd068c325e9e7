// One pass over bytes in memory with the reader's checks: the header must be
// there, no line longer than the limit, every draw line of five fields with
// a 第N回 number and a date. Each line is decoded on its own, which is exact
// because the byte 0x0A is never part of a two-byte character.
#include "history/history_image.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "history/draw_date.h"
#include "history/draw_number.h"
#include "text/cp932.h"

namespace corvalith {
namespace {

constexpr std::size_t kMinFields = 5;

void RemoveCarriageReturns(std::u16string& line) {
    line.erase(std::remove(line.begin(), line.end(), u'\r'), line.end());
}

}  // namespace

bool ReadHistoryImage(const HistoryLimits& limits, HistoryImage& image) {
    const std::string& bytes = image.bytes;
    image.draws.clear();
    image.highest = 0;
    image.endsWithBreak = bytes.empty() || bytes.back() == '\n';
    if (bytes.empty() || bytes.size() > limits.maxFileBytes) return false;

    const Cp932Decoder decoder;
    std::u16string line;
    DrawFields fields;
    std::size_t at = 0;
    bool header = true;
    while (at < bytes.size()) {
        const std::size_t found = bytes.find('\n', at);
        const std::size_t end = found == std::string::npos ? bytes.size() : found;
        if (end - at > limits.maxLineBytes) return false;
        line.clear();
        if (!decoder.Decode(std::string_view(bytes).substr(at, end - at), line)) return false;
        const std::size_t begin = at;
        at = end + 1;
        if (header) {
            header = false;
            continue;
        }
        if (image.draws.size() >= limits.maxDraws) return false;
        RemoveCarriageReturns(line);
        image.highest = std::max(image.highest, FirstDrawNumberIn(line));
        fields.Split(line);
        if (fields.size() < kMinFields) return false;
        const std::u16string_view number = fields[0];
        if (!IsDrawNumberField(number) || !IsDateField(fields[1])) return false;
        const std::optional<std::int32_t> n = ParseInt32Strict(number.substr(1, number.size() - 2));
        const std::optional<CalendarDate> date = DateOfField(fields[1]);
        if (!n || !date) return false;
        image.draws.push_back({*n, PadResultField(fields[3]), date->Key(),
                               static_cast<std::uint32_t>(begin),
                               static_cast<std::uint32_t>(end - begin)});
    }
    return true;
}

std::string_view LineOf(const HistoryImage& image, const DrawRecord& record) noexcept {
    return std::string_view(image.bytes).substr(record.begin, record.length);
}

}  // namespace corvalith
