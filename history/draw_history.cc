// LoadDrawHistory: one pass over the file (ReadDrawLines); the records are
// replaced only once the whole file has been read and all four new arrays are
// in hand.
#include "history/draw_history.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "dsp/buffer.h"
#include "dsp/status.h"
#include "history/draw_fields.h"
#include "history/draw_lines.h"

namespace corvalith {
namespace {

constexpr std::size_t kPositions = 4;

int Load(const HistoryLimits& limits, const std::string& path, WAData& thousands, WAData& hundreds,
         WAData& tens, WAData& ones, std::int32_t* highestDrawNumber) noexcept {
    try {
        detail::DigitLists lists;
        std::int32_t highest = 0;
        if (!detail::ReadDrawLines(limits, path, lists, nullptr,
                                   highestDrawNumber != nullptr ? &highest : nullptr)) {
            return kHistoryUnreadable;
        }

        // All four arrays first, so that a failed allocation changes no record.
        const std::size_t count = lists[0].size();
        if (count > UINT32_MAX) return kHistoryUnreadable;
        std::array<std::unique_ptr<double[]>, kPositions> arrays;
        for (std::size_t p = 0; p < kPositions; ++p) {
            arrays[p] = NewZeroedArray<double>(count);
            if (!arrays[p]) return kOutOfMemory;
            for (std::size_t i = 0; i < count; ++i) arrays[p][i] = DigitValue(lists[p][i]);
            std::vector<char16_t>().swap(lists[p]);  // lower the peak while the next is made
        }
        WAData* records[kPositions] = {&thousands, &hundreds, &tens, &ones};
        for (std::size_t p = 0; p < kPositions; ++p) {
            ReplaceSamples(*records[p], std::move(arrays[p]));
            records[p]->count = static_cast<std::uint32_t>(count);
            records[p]->rate = 1;
        }
        if (highestDrawNumber != nullptr) *highestDrawNumber = highest;
        return kOk;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;  // while collecting lines or decoding them
    } catch (...) {
        return kHistoryUnreadable;
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
    // The reader's own interface has one failure for everything, memory included.
    const int status = corvalith::LoadDrawHistoryWithin(corvalith::kHistoryLimits, path, thousands,
                                                        hundreds, tens, ones);
    return status == corvalith::kOk ? corvalith::kOk : corvalith::kHistoryUnreadable;
}
