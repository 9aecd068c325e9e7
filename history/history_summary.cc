// The summary of a loaded history, from its draw numbers and values.
#include "history/history_summary.h"

namespace corvalith {

HistorySummary SummaryOf(const DrawTable& table) noexcept {
    HistorySummary summary;
    summary.draws = table.size();
    if (!table.numbers.empty()) {
        summary.firstDraw = table.numbers.front();
        summary.lastDraw = table.numbers.back();
    }
    for (std::size_t p = 0; p < kPositionCount; ++p) summary.nonDigits[p] = NonDigitCount(table, p);
    return summary;
}

std::size_t NonDigitCount(const DrawTable& table, std::size_t position) noexcept {
    std::size_t count = 0;
    for (const double value : table.values[position]) {
        if (!IsDigitValue(value)) ++count;
    }
    return count;
}

}  // namespace corvalith
