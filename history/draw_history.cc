// LoadDrawHistory: one pass over the file (ReadDrawLines); the records are
// replaced only once the whole file has been read and all four new arrays are
// in hand.
#include "history/draw_history.h"

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "dsp/status.h"
#include "history/draw_fields.h"
#include "history/draw_lines.h"

namespace corvalith {
namespace {

constexpr std::size_t kPositions = 4;

}  // namespace

int LoadDrawHistoryWithin(const HistoryLimits& limits, const std::string& path, WAData& thousands,
                          WAData& hundreds, WAData& tens, WAData& ones) noexcept {
    try {
        detail::DigitLists lists;
        if (!detail::ReadDrawLines(limits, path, lists, nullptr)) return kHistoryUnreadable;

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
        return kOk;
    } catch (...) {
        return kHistoryUnreadable;  // exhausted memory while collecting lines
    }
}

}  // namespace corvalith

int LoadDrawHistory(const std::string& path, WAData& thousands, WAData& hundreds, WAData& tens,
                    WAData& ones) noexcept {
    return corvalith::LoadDrawHistoryWithin(corvalith::kHistoryLimits, path, thousands, hundreds,
                                            tens, ones);
}
