// The summary of a loaded history, from its draw numbers and values.
#include "report/history_summary.h"

namespace corvalith {

HistorySummary SummaryOf(const DrawTable& table) noexcept {
    HistorySummary summary;
    summary.draws = table.size();
    if (!table.numbers.empty()) {
        summary.firstDraw = table.numbers.front();
        summary.lastDraw = table.numbers.back();
    }
    return summary;
}

std::size_t NonDigitCount(const DrawTable& table, std::size_t position) noexcept {
    std::size_t count = 0;
    for (const double value : table.values[position]) {
        if (!(value >= 0 && value <= 9)) ++count;  // also NaN
    }
    return count;
}

}  // namespace corvalith
