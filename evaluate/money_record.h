// The money record of a walk-forward evaluation: one ticket a draw on the
// forecast's pick, at the theoretical amounts, beside a fixed number and the
// hot rule's pick on the same draws, with the exact chance of doing as well.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "evaluate/backtest_record.h"
#include "evaluate/ticket_rules.h"

namespace corvalith::evaluate {

// A draw evaluated at all four positions: what was drawn, the forecast's
// pick (its four first-ranked digits) and the hot rule's pick (per position
// the digit seen most often in the draws before, equal counts by the lower
// digit).
struct BetDraw {
    std::int32_t draw = 0;
    Number4 drawn{};
    Number4 pick{};
    Number4 hot{};
};

// Who buys the tickets: the forecast, a fixed number (the first bet draw's
// pick, kept for every draw), or the hot rule.
enum class Bettor { Pick, Fixed, Hot };

// One bettor's tally. Every amount is in yen at the theoretical amounts.
struct MoneyLine {
    std::uint64_t tickets = 0;
    std::int64_t spent = 0;
    std::int64_t won = 0;
    std::int64_t balance = 0;         // won - spent
    double returnRate = 0.0;          // won / spent (0 without tickets)
    double expectedReturnRate = 0.0;  // mean over the tickets of ExpectedPayout / price
    std::uint64_t straightWins = 0;   // tickets won straight (a set's straight part)
    std::uint64_t boxWins = 0;        // tickets won box (a set's box part)
    // The largest fall of the cumulative balance below its highest earlier
    // value, the balance starting at 0 before the first ticket.
    std::int64_t maxDrawdown = 0;
    // P(wins >= the wins seen) when each ticket wins with its own WinChance.
    double pValue = 1.0;
};

struct MoneyTrack {
    MoneyLine line;
    std::vector<std::int64_t> balances;  // the cumulative balance after each ticket
};

struct MoneyRecord {
    BetType type = BetType::Straight;
    std::vector<std::int32_t> draws;     // the draws a ticket was bought for, in order
    std::optional<Number4> fixedNumber;  // the fixed bettor's number (none without draws)
    MoneyTrack pick;
    MoneyTrack fixed;
    MoneyTrack hot;
};

// P(X >= wins) for X the number of successes of independent trials with the
// given chances (a Poisson-binomial variable), summed exactly over the ways
// to reach `wins` so that tiny tails keep their precision: 1 when wins is 0,
// 0 when wins exceeds the trials. Takes trials x (wins + 1) steps.
[[nodiscard]] double PoissonBinomialUpperTail(std::uint64_t wins, std::span<const double> chances);

// The draws of `record` evaluated at all four positions, in order; `table`
// is the one the record was made from (draw numbers rising). May throw
// std::bad_alloc.
[[nodiscard]] std::vector<BetDraw> BetDraws(const DrawTable& table, const BacktestRecord& record);

// The tally of one ticket of `type` a draw for `bettor`; the balance after
// each ticket goes to `balances` when given. May throw std::bad_alloc.
[[nodiscard]] MoneyLine TallyMoney(std::span<const BetDraw> draws, BetType type, Bettor bettor,
                                   std::vector<std::int64_t>* balances = nullptr);

// The money record of `draws` for `type`: the three bettors on them. May
// throw std::bad_alloc.
[[nodiscard]] MoneyRecord RecordMoneyOf(std::span<const BetDraw> draws, BetType type);

// The money record of `record` (made from `table`) for `type`: the three
// bettors on the draws evaluated at all four positions. May throw std::bad_alloc.
[[nodiscard]] MoneyRecord RecordMoney(const DrawTable& table, const BacktestRecord& record,
                                      BetType type);

struct BacktestMoney {
    BacktestResult result;  // exactly Backtest's
    MoneyRecord money;      // exactly RecordMoney's of BacktestWithRecord's record
};

// Backtest with the money record of `type`, made straight from the
// forecasts without the draw-by-draw record (same progress, same cancel).
// May throw std::bad_alloc.
[[nodiscard]] std::optional<BacktestMoney> BacktestWithMoney(const DrawTable& table,
                                                             const Setting& setting,
                                                             const EvaluationOptions& options,
                                                             BetType type,
                                                             const RunControl& control = {});

}  // namespace corvalith::evaluate
