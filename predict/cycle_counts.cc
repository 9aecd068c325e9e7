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
    // One pass: each value adds to the row of its digit, if it has one.
    for (std::uint32_t k = 0; k < table.cycles; ++k) {
        const double* cycle = values + static_cast<std::size_t>(k) * interval;
        for (std::uint32_t j = 0; j < interval; ++j) {
            const int d = DigitOf(cycle[j]);
            if (d >= 0) ++table.rows[d][k];
        }
    }
    return table;
}

}  // namespace corvalith
