// Counting per cycle. The range test comes before the conversion to int so
// that no value (huge, infinite or NaN) makes the conversion undefined.
#include "predict/cycle_counts.h"

namespace corvalith {
namespace {

// The digit a value truncates to, or -1.
int DigitOf(double value) noexcept {
    if (!(value > -1.0 && value < 10.0)) return -1;
    return static_cast<int>(value);
}

}  // namespace

CycleCounts CountCycles(const double* values, std::uint32_t count, std::uint32_t interval) {
    CycleCounts table;
    table.cycles = count / interval;
    for (auto& row : table.rows) row.assign(table.cycles, 0);
    for (int d = 0; d < kDigits; ++d) {
        auto& row = table.rows[d];
        for (std::uint32_t k = 0; k < table.cycles; ++k) {
            const double* cycle = values + static_cast<std::size_t>(k) * interval;
            for (std::uint32_t j = 0; j < interval; ++j) {
                if (DigitOf(cycle[j]) == d) ++row[k];
            }
        }
    }
    return table;
}

}  // namespace corvalith
