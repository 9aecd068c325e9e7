// The reference backtest recounts everything for each draw: the predictors
// on a fresh copy of the prefix, the digit counts of the draws before it,
// the hot and cold orders by stable sorting.
#include "tests/evaluate/backtest_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <sstream>
#include <string_view>

#include "dsp/spectrum.h"
#include "dsp/wa_data.h"
#include "predict/digit_predictor.h"
#include "predict/digit_ranking.h"

namespace corvalith::evaluate::testing {
namespace {

bool IsDigit(double value) {
    for (int d = 0; d < kDigits; ++d) {
        if (value == d) return true;
    }
    return false;
}

using Order = std::array<int, kDigits>;

// Digits by count, descending (hot) or ascending (cold), ties by digit.
Order ByCount(const std::array<std::uint64_t, kDigits>& counts, bool hot) {
    Order order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return hot ? counts[a] > counts[b] : counts[a] < counts[b];
    });
    return order;
}

template <typename Ranked>
std::size_t RankOf(const Ranked& order, int digit) {
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (static_cast<int>(order[i]) == digit) return i + 1;
    }
    ADD_FAILURE() << "digit " << digit << " missing from a ranking";
    return 0;
}

}  // namespace

DrawTable RandomTable(std::size_t draws, std::uint32_t seed, int nonDigitPercent,
                      std::int32_t first) {
    std::mt19937 rng(seed);
    constexpr double kOthers[] = {' ' - '0', 'A' - '0', u'\uFF11' - u'0', -1.0};
    return TableOf(
        draws,
        [&](std::size_t, std::size_t) {
            if (static_cast<int>(rng() % 100) < nonDigitPercent) return kOthers[rng() % 4];
            return static_cast<double>(rng() % 10);
        },
        first);
}

std::optional<detail::Ranking> ParseRanking(const std::string& text) {
    if (text == kResultError) return std::nullopt;
    const std::string_view prefix = kResultPrefix;
    EXPECT_EQ(text.substr(0, prefix.size()), prefix);
    EXPECT_EQ(text.size(), prefix.size() + 28);
    detail::Ranking ranking{};
    for (int i = 0; i < kDigits; ++i) {
        ranking[i] = static_cast<std::uint8_t>(text[prefix.size() + 3 * i] - '0');
    }
    return ranking;
}

std::optional<detail::Ranking> PredictorRanking(const std::vector<double>& values, std::size_t j,
                                                const Setting& setting) {
    ScopedWAData data;
    if (j != 0) {
        data.get().samples = new double[j];
        std::copy(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(j),
                  data.get().samples);
        data.get().count = static_cast<std::uint32_t>(j);
        data.get().rate = 1;
    }
    Spectrum shared;
    const std::string label = "position";
    const std::string text =
        setting.filter == FilterKind::None
            ? PredictPowerSpectrumDigit(shared, data.get(), label, "", setting.interval)
            : PredictDigit(shared, data.get(), FftFlag(setting.fft), IFType(setting.filter), label,
                           "", setting.interval);
    return ParseRanking(text);
}

BacktestResult ReferenceBacktest(const DrawTable& table, const Setting& setting,
                                 const EvaluationOptions& options) {
    BacktestResult result;
    result.setting = setting;
    std::array<std::uint64_t, kPositionCount> rankSums{};
    std::optional<std::array<std::optional<detail::Ranking>, kPositionCount>> previous;
    for (std::size_t j = 1; j < table.size(); ++j) {
        if (options.from && table.numbers[j] < *options.from) continue;
        std::array<std::optional<detail::Ranking>, kPositionCount> forecasts;
        std::size_t evaluated = 0;
        std::size_t right = 0;
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            forecasts[p] = PredictorRanking(table.values[p], j, setting);
            const double value = table.values[p][j];
            if (!forecasts[p] || !IsDigit(value)) continue;
            const int digit = static_cast<int>(value);
            std::array<std::uint64_t, kDigits> counts{};
            for (std::size_t i = 0; i < j; ++i) {
                if (IsDigit(table.values[p][i])) ++counts[static_cast<int>(table.values[p][i])];
            }
            PositionResult& position = result.positions[p];
            const std::size_t rank = RankOf(*forecasts[p], digit);
            const std::size_t hot = RankOf(ByCount(counts, true), digit);
            const std::size_t cold = RankOf(ByCount(counts, false), digit);
            for (std::size_t k = 1; k <= kDigits; ++k) {
                position.hits[k - 1] += rank <= k;
                position.hotHits[k - 1] += hot <= k;
                position.coldHits[k - 1] += cold <= k;
            }
            ++position.evaluated;
            rankSums[p] += rank;
            ++evaluated;
            right += rank == 1;
        }
        if (evaluated == kPositionCount) {
            ++result.straight.evaluated;
            result.straight.hits += right == kPositionCount;
        }
        if (evaluated == 0) continue;
        if (!previous) {
            result.firstEvaluatedDraw = table.numbers[j];
        } else if (*previous != forecasts) {
            ++result.changes;
        }
        previous = forecasts;
    }
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        PositionResult& position = result.positions[p];
        if (position.evaluated != 0) {
            position.meanRank = static_cast<double>(rankSums[p]) / position.evaluated;
        }
    }
    result.straight.expected = result.straight.evaluated / 10000.0;
    return result;
}

::testing::AssertionResult SameResult(const BacktestResult& actual,
                                      const BacktestResult& expected) {
    std::ostringstream differences;
    auto check = [&](bool same, const std::string& what) {
        if (!same) differences << what << " differs; ";
    };
    check(actual.setting.filter == expected.setting.filter &&
              actual.setting.interval == expected.setting.interval &&
              actual.setting.fft == expected.setting.fft,
          "setting");
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        const PositionResult& a = actual.positions[p];
        const PositionResult& e = expected.positions[p];
        const std::string at = " at position " + std::to_string(p);
        check(a.evaluated == e.evaluated, "evaluated" + at + " (" + std::to_string(a.evaluated) +
                                              " vs " + std::to_string(e.evaluated) + ")");
        check(a.hits == e.hits, "hits" + at);
        check(a.meanRank == e.meanRank, "meanRank" + at);
        check(a.hotHits == e.hotHits, "hotHits" + at);
        check(a.coldHits == e.coldHits, "coldHits" + at);
    }
    check(actual.straight.evaluated == expected.straight.evaluated, "straight.evaluated");
    check(actual.straight.hits == expected.straight.hits, "straight.hits");
    check(actual.straight.expected == expected.straight.expected, "straight.expected");
    check(actual.changes == expected.changes, "changes (" + std::to_string(actual.changes) +
                                                  " vs " + std::to_string(expected.changes) + ")");
    check(actual.firstEvaluatedDraw == expected.firstEvaluatedDraw, "firstEvaluatedDraw");
    const std::string text = differences.str();
    if (text.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << text;
}

}  // namespace corvalith::evaluate::testing
