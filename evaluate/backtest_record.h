// A backtest with its draw-by-draw record: for every evaluated draw of each
// position, the rank the forecast and the hot and cold rules gave the drawn
// digit. The window draws cumulative hit rates from it; the totals are the
// backtest's own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "evaluate/backtest.h"

namespace corvalith::evaluate {

struct EvaluatedDraw {
    std::int32_t draw = 0;  // the draw's number
    std::uint8_t rank = 0;  // 1-based rank of the drawn digit in the forecast
    std::uint8_t hot = 0;   // its rank under the hot rule
    std::uint8_t cold = 0;  // its rank under the cold rule
    std::uint8_t pick = 0;  // the forecast's first-ranked digit
};

struct BacktestRecord {
    BacktestResult result;  // exactly Backtest's
    // In draw order; a position's list has result.positions[p].evaluated entries.
    std::array<std::vector<EvaluatedDraw>, kPositionCount> draws;
};

// Backtest with the record (same progress, same cancel). May throw std::bad_alloc.
[[nodiscard]] std::optional<BacktestRecord> BacktestWithRecord(const DrawTable& table,
                                                               const Setting& setting,
                                                               const EvaluationOptions& options,
                                                               const RunControl& control = {});

}  // namespace corvalith::evaluate
