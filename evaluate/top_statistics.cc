// StatisticsFor: a position's top-K hit rate beside chance, with its Wilson
// interval and the exact binomial tail.
#include <algorithm>

#include "evaluate/backtest.h"

namespace corvalith::evaluate {

TopStatistics StatisticsFor(const PositionResult& position, int top) {
    const int k = std::clamp(top, 1, kDigits);
    const std::uint64_t hits = position.hits[static_cast<std::size_t>(k - 1)];
    const std::uint64_t n = position.evaluated;
    TopStatistics statistics;
    statistics.chance = k / 10.0;
    statistics.rate = n == 0 ? 0.0 : static_cast<double>(hits) / static_cast<double>(n);
    statistics.ci95 = WilsonInterval(hits, n);
    statistics.pValue = BinomialUpperTail(hits, n, statistics.chance);
    return statistics;
}

}  // namespace corvalith::evaluate
