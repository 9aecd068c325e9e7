// LoadDrawHistory: one pass over the file; every draw line is checked and its
// four digits collected, and the records are replaced only once the whole
// file has been read and all four new arrays are in hand.
#include "history/draw_history.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "dsp/status.h"
#include "history/draw_fields.h"
#include "history/draw_number.h"
#include "history/line_reader.h"

namespace corvalith {
namespace {

constexpr std::size_t kPositions = 4;
constexpr std::size_t kMinFields = 5;

// The result characters of every draw, one list per position; a value is the
// character's code minus '0', computed when the arrays are made. Two bytes a
// draw and position keep a ten-million-draw history small.
using DigitLists = std::array<std::vector<char16_t>, kPositions>;

// Reads every draw line into `lists`. False on any failure. With `highest`,
// also keeps the largest FirstDrawNumberIn of the draw lines (from 0), which is
// what ScanHighestDrawNumber finds in a file that reads without failure.
bool ReadDraws(const HistoryLimits& limits, const std::string& path, DigitLists& lists,
               std::int32_t* highest) {
    HistoryLineReader reader(limits.maxLineBytes, limits.maxFileBytes);
    if (!reader.Open(path)) return false;
    std::u16string line;
    if (reader.Next(line) != LineStatus::Line) return false;  // the header must be there

    DrawFields fields;
    for (;;) {
        const LineStatus status = reader.Next(line);
        if (status == LineStatus::End) return true;
        if (status == LineStatus::Error) return false;
        if (lists[0].size() >= limits.maxDraws) return false;
        if (highest != nullptr) *highest = std::max(*highest, FirstDrawNumberIn(line));
        fields.Split(line);
        if (fields.size() < kMinFields) return false;
        if (!IsDrawNumberField(fields[0]) || !IsDateField(fields[1])) return false;
        const ResultCharacters result = PadResultField(fields[3]);
        for (std::size_t p = 0; p < kPositions; ++p) lists[p].push_back(result[p]);
    }
}

}  // namespace

namespace {

int Load(const HistoryLimits& limits, const std::string& path, WAData& thousands, WAData& hundreds,
         WAData& tens, WAData& ones, std::int32_t* highestDrawNumber) noexcept {
    try {
        DigitLists lists;
        std::int32_t highest = 0;
        if (!ReadDraws(limits, path, lists, highestDrawNumber != nullptr ? &highest : nullptr)) {
            return kHistoryUnreadable;
        }

        // All four arrays first, so that a failed allocation changes no record.
        const std::size_t count = lists[0].size();
        if (count > UINT32_MAX) return kHistoryUnreadable;
        std::array<std::unique_ptr<double[]>, kPositions> arrays;
        for (std::size_t p = 0; p < kPositions; ++p) {
            arrays[p].reset(new (std::nothrow) double[count]);
            if (!arrays[p]) return kHistoryUnreadable;
            for (std::size_t i = 0; i < count; ++i) arrays[p][i] = DigitValue(lists[p][i]);
            std::vector<char16_t>().swap(lists[p]);  // lower the peak while the next is made
        }
        WAData* records[kPositions] = {&thousands, &hundreds, &tens, &ones};
        for (std::size_t p = 0; p < kPositions; ++p) {
            delete[] records[p]->samples;
            records[p]->samples = arrays[p].release();
            records[p]->count = static_cast<std::uint32_t>(count);
            records[p]->rate = 1;
        }
        if (highestDrawNumber != nullptr) *highestDrawNumber = highest;
        return kOk;
    } catch (...) {
        return kHistoryUnreadable;  // exhausted memory while collecting lines
    }
}

}  // namespace

int LoadDrawHistoryWithin(const HistoryLimits& limits, const std::string& path, WAData& thousands,
                          WAData& hundreds, WAData& tens, WAData& ones) noexcept {
    return Load(limits, path, thousands, hundreds, tens, ones, nullptr);
}

int LoadDrawHistoryWithHighest(const std::string& path, WAData& thousands, WAData& hundreds,
                               WAData& tens, WAData& ones,
                               std::int32_t& highestDrawNumber) noexcept {
    return Load(kHistoryLimits, path, thousands, hundreds, tens, ones, &highestDrawNumber);
}

}  // namespace corvalith

int LoadDrawHistory(const std::string& path, WAData& thousands, WAData& hundreds, WAData& tens,
                    WAData& ones) noexcept {
    return corvalith::LoadDrawHistoryWithin(corvalith::kHistoryLimits, path, thousands, hundreds,
                                            tens, ones);
}
