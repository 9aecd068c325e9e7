// LoadDrawTable: the reader's line loop with the draw numbers kept; the table
// is replaced only once the whole file has been read and converted.
#include "history/draw_table.h"

#include <new>
#include <utility>

#include "dsp/status.h"
#include "history/draw_fields.h"
#include "history/draw_history.h"
#include "history/draw_lines.h"

namespace corvalith {

int LoadDrawTable(const std::string& path, DrawTable& table) noexcept {
    return LoadDrawTable(path, table, {});
}

int LoadDrawTable(const std::string& path, DrawTable& table,
                  const LoadProgress& progress) noexcept {
    try {
        detail::DigitLists lists;
        DrawTable loaded;
        if (!detail::ReadDrawLines(kHistoryLimits, path, lists, &loaded.numbers, nullptr,
                                   progress ? &progress : nullptr)) {
            return kHistoryUnreadable;
        }
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            std::vector<double>& values = loaded.values[p];
            values.reserve(lists[p].size());
            for (const char16_t c : lists[p]) values.push_back(DigitValue(c));
            std::vector<char16_t>().swap(lists[p]);  // lower the peak while the next is made
        }
        table = std::move(loaded);
        return kOk;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return kHistoryUnreadable;
    }
}

std::optional<OrderViolation> FindOrderViolation(const DrawTable& table) noexcept {
    for (std::size_t i = 1; i < table.numbers.size(); ++i) {
        if (table.numbers[i] <= table.numbers[i - 1]) {
            return OrderViolation{i + 2, table.numbers[i - 1], table.numbers[i]};
        }
    }
    return std::nullopt;
}

}  // namespace corvalith
