// One pass over the draws: each candidate draw is scored at every position
// where there is a forecast and a drawn digit, against the forecast and the
// hot and cold rules of the draws before it (ranked once per table).
#include "evaluate/scoring.h"

#include <algorithm>
#include <optional>

namespace corvalith::evaluate::detail {
namespace {

using Counts = std::array<std::uint64_t, kDigits>;

// 1-based rank of `digit` when digits go by descending count (hot) or
// ascending count (cold), equal counts in ascending digit order.
int CountRank(const Counts& counts, int digit, bool hot) noexcept {
    int rank = 1;
    for (int e = 0; e < kDigits; ++e) {
        const bool before = hot ? counts[e] > counts[digit] : counts[e] < counts[digit];
        if (before || (counts[e] == counts[digit] && e < digit)) ++rank;
    }
    return rank;
}

int ForecastRank(const Ranking& ranking, int digit) noexcept {
    const auto at = std::find(ranking.begin(), ranking.end(), digit);
    return static_cast<int>(at - ranking.begin()) + 1;
}

// Per-rank tallies into cumulative hits: hits[k-1] = tallies of ranks 1..k.
Hits Cumulative(const Hits& byRank) noexcept {
    Hits hits{};
    std::uint64_t sum = 0;
    for (int k = 0; k < kDigits; ++k) {
        sum += byRank[k];
        hits[k] = sum;
    }
    return hits;
}

}  // namespace

std::size_t DrawCount(const DrawTable& table) noexcept {
    std::size_t n = table.numbers.size();
    for (const auto& values : table.values) n = std::min(n, values.size());
    return n;
}

std::size_t FirstCandidate(const DrawTable& table, const EvaluationOptions& options) noexcept {
    const std::size_t n = DrawCount(table);
    for (std::size_t j = 1; j < n; ++j) {
        if (!options.from || table.numbers[j] >= *options.from) return j;
    }
    return n;
}

CountRanks RankByCounts(const DrawTable& table) {
    const std::size_t n = DrawCount(table);
    CountRanks ranks;
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        ranks.hot[p].assign(n, 0);
        ranks.cold[p].assign(n, 0);
        Counts seen{};  // digit counts of the draws before
        for (std::size_t j = 0; j < n; ++j) {
            const double value = table.values[p][j];
            if (!IsDigitValue(value)) continue;
            const int digit = static_cast<int>(value);
            ranks.hot[p][j] = static_cast<std::uint8_t>(CountRank(seen, digit, true));
            ranks.cold[p][j] = static_cast<std::uint8_t>(CountRank(seen, digit, false));
            ++seen[digit];
        }
    }
    return ranks;
}

BacktestResult ScoreForecasts(const DrawTable& table, const Setting& setting,
                              const EvaluationOptions& options, const PositionForecasts& forecasts,
                              const CountRanks& ranks) noexcept {
    BacktestResult result;
    result.setting = setting;
    const std::size_t n = DrawCount(table);

    std::array<Hits, kPositionCount> byRank{}, hotByRank{}, coldByRank{};
    std::array<std::uint64_t, kPositionCount> rankSums{};
    std::array<std::optional<Ranking>, kPositionCount> previous;

    for (std::size_t j = 0; j < n; ++j) {
        const bool candidate = j >= 1 && (!options.from || table.numbers[j] >= *options.from);
        if (candidate) {
            std::array<std::optional<Ranking>, kPositionCount> forecast;
            int evaluatedHere = 0;
            int firstRight = 0;
            for (std::size_t p = 0; p < kPositionCount; ++p) {
                const CycleForecasts* cycles = forecasts[p];
                if (cycles != nullptr && setting.interval != 0) {
                    const std::size_t m = j / setting.interval;
                    if (m < cycles->size()) forecast[p] = (*cycles)[m];
                }
                const double value = table.values[p][j];
                if (!forecast[p] || !IsDigitValue(value)) continue;
                const int digit = static_cast<int>(value);
                ++evaluatedHere;
                const int rank = ForecastRank(*forecast[p], digit);
                if (rank == 1) ++firstRight;
                ++byRank[p][rank - 1];
                rankSums[p] += static_cast<std::uint64_t>(rank);
                ++hotByRank[p][ranks.hot[p][j] - 1];
                ++coldByRank[p][ranks.cold[p][j] - 1];
                ++result.positions[p].evaluated;
            }
            if (evaluatedHere == static_cast<int>(kPositionCount)) {
                ++result.straight.evaluated;
                if (firstRight == static_cast<int>(kPositionCount)) ++result.straight.hits;
            }
            if (evaluatedHere > 0) {
                if (!result.firstEvaluatedDraw) {
                    result.firstEvaluatedDraw = table.numbers[j];
                } else if (forecast != previous) {
                    ++result.changes;
                }
                previous = forecast;
            }
        }
    }

    for (std::size_t p = 0; p < kPositionCount; ++p) {
        PositionResult& position = result.positions[p];
        position.hits = Cumulative(byRank[p]);
        position.hotHits = Cumulative(hotByRank[p]);
        position.coldHits = Cumulative(coldByRank[p]);
        if (position.evaluated != 0) {
            position.meanRank =
                static_cast<double>(rankSums[p]) / static_cast<double>(position.evaluated);
        }
    }
    result.straight.expected = static_cast<double>(result.straight.evaluated) / 10000.0;
    return result;
}

}  // namespace corvalith::evaluate::detail
