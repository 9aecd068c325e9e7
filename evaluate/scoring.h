// Scoring a setting's forecasts against the draws: the tallies of one
// backtest from its per-position forecasts (walk_forward.h). Internal to the
// evaluation; the backtest and the sweep share it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "evaluate/backtest.h"
#include "evaluate/walk_forward.h"

namespace corvalith::evaluate::detail {

// The number of draws the evaluation reads: the table's draws that have a
// number and all four values.
[[nodiscard]] std::size_t DrawCount(const DrawTable& table) noexcept;

// The index of the first draw that may be evaluated (index >= 1, number not
// below options.from), or DrawCount(table) when there is none.
[[nodiscard]] std::size_t FirstCandidate(const DrawTable& table,
                                         const EvaluationOptions& options) noexcept;

// The rank of each draw's digit under the hot rule (digits by descending
// count over the draws before it) and the cold rule (ascending count), equal
// counts in ascending digit order; 0 where the value is not a digit. The same
// for every setting, so a sweep makes them once. May throw std::bad_alloc.
struct CountRanks {
    std::array<std::vector<std::uint8_t>, kPositionCount> hot;
    std::array<std::vector<std::uint8_t>, kPositionCount> cold;
};
[[nodiscard]] CountRanks RankByCounts(const DrawTable& table);

// The four positions' forecasts by cycles, for cycle counts 0 ..
// (DrawCount - 1) / setting.interval at least (null: "Error" everywhere).
using PositionForecasts = std::array<const CycleForecasts*, kPositionCount>;

// The backtest of `setting` from its forecasts and the table's count ranks.
[[nodiscard]] BacktestResult ScoreForecasts(const DrawTable& table, const Setting& setting,
                                            const EvaluationOptions& options,
                                            const PositionForecasts& forecasts,
                                            const CountRanks& ranks) noexcept;

}  // namespace corvalith::evaluate::detail
