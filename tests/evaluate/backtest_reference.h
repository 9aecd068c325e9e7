// What the backtest tests compare against: random draw tables, the real
// predictors' ranking for a prefix, and a backtest tallied draw by draw from
// those predictors with nothing of the evaluation's own code.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "evaluate/backtest.h"
#include "evaluate/walk_forward.h"
#include "history/draw_table.h"

namespace corvalith::evaluate::testing {

// `draws` draws of uniformly random digits, numbered first, first + 1, ...;
// about `nonDigitPercent` % of the values are characters other than digits
// (a blank, a letter, a full-width digit).
DrawTable RandomTable(std::size_t draws, std::uint32_t seed, int nonDigitPercent = 0,
                      std::int32_t first = 1);

// A table whose draw i has the value valueOf(i, p) at position p.
template <typename F>
DrawTable TableOf(std::size_t draws, F valueOf, std::int32_t first = 1) {
    DrawTable table;
    for (std::size_t i = 0; i < draws; ++i) {
        table.numbers.push_back(first + static_cast<std::int32_t>(i));
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            table.values[p].push_back(static_cast<double>(valueOf(i, p)));
        }
    }
    return table;
}

// The ranking of a predictor's result text; nothing for "Error".
std::optional<detail::Ranking> ParseRanking(const std::string& text);

// What RunPredict's predictor call gives for the first `j` of `values`
// under `setting` (PredictPowerSpectrumDigit for NONE, else PredictDigit).
std::optional<detail::Ranking> PredictorRanking(const std::vector<double>& values, std::size_t j,
                                                const Setting& setting);

// The backtest of `setting`, one predictor call per draw and position.
BacktestResult ReferenceBacktest(const DrawTable& table, const Setting& setting,
                                 const EvaluationOptions& options);

// Field-by-field equality, with a message naming the first difference.
::testing::AssertionResult SameResult(const BacktestResult& actual, const BacktestResult& expected);

}  // namespace corvalith::evaluate::testing
