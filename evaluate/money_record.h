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
    DrawPayouts paid{};  // the draw's real amounts, as far as the history has them
    Number4 second{};    // each position's second-ranked digit (the pick's when unknown)
    // The payout-aware pick: among the 16 numbers of each position's first
    // two digits, the one whose estimated straight payout is highest from
    // the draws before this one (the pick while too few are known).
    Number4 payoutPick{};
};

// The amounts a record is asked to use and the history's real payouts, one
// entry per draw of the table (empty: the history has none).
struct MoneyAmounts {
    PayoutMode mode = PayoutMode::Auto;
    std::span<const DrawPayouts> payouts;
    bool payoutPick = false;  // also the payout-aware bettor
};

// The amounts a record was counted at.
struct AmountsUsed {
    bool real = false;        // the real payouts (else the theoretical amounts)
    std::size_t lacking = 0;  // evaluated draws lacking an amount their tickets need
    bool known = false;       // the history has at least one payout
};

// Real when asked, or when asked for either and no draw of `draws` lacks an
// amount and the history has payouts.
[[nodiscard]] AmountsUsed ResolveAmounts(std::span<const BetDraw> draws, BetType type,
                                         const MoneyAmounts& amounts);

// Who buys the tickets: the forecast, a fixed number (the first bet draw's
// pick, kept for every draw), the hot rule, or the payout-aware pick.
enum class Bettor { Pick, Fixed, Hot, PayoutPick };

// The simulations of the amount won under chance, and their fixed seed.
inline constexpr int kAmountSimulations = 10'000;
inline constexpr std::uint64_t kAmountSeed = 20'261'210;

// One bettor's tally. Every amount is in yen at the record's amounts.
struct MoneyLine {
    std::uint64_t tickets = 0;
    std::int64_t spent = 0;
    std::int64_t won = 0;
    std::int64_t wonTheoretical = 0;  // won at the theoretical amounts
    // Chance's winnings on the same draws: at real amounts a uniformly random
    // ticket's average each draw (ChanceExpectedPayout), at theoretical ones
    // the tickets' own ExpectedPayout; expectedReturnRate is it / spent.
    double expectedWon = 0.0;
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
    // P(amount won >= the amount seen) when each ticket wins with its own
    // chance and is paid that draw's amount: kAmountSimulations draws of the
    // record from kAmountSeed, (1 + as many or more) / (1 + simulations).
    // Only when asked for (the record, not the sweep); otherwise 1.
    double amountPValue = 1.0;
};

struct MoneyTrack {
    MoneyLine line;
    std::vector<std::int64_t> balances;  // the cumulative balance after each ticket
};

struct MoneyRecord {
    BetType type = BetType::Straight;
    AmountsUsed amounts;
    std::vector<std::int32_t> draws;     // the draws a ticket was bought for, in order
    std::optional<Number4> fixedNumber;  // the fixed bettor's number (none without draws)
    MoneyTrack pick;
    MoneyTrack fixed;
    MoneyTrack hot;
    std::optional<MoneyTrack> payoutPick;  // when asked for: the payout-aware bettor
    // The cumulative balance chance would have had after each ticket:
    // expectedWon so far minus the price of the tickets so far.
    std::vector<double> expectedBalances;
};

// P(X >= wins) for X the number of successes of independent trials with the
// given chances (a Poisson-binomial variable), summed exactly over the ways
// to reach `wins` so that tiny tails keep their precision: 1 when wins is 0,
// 0 when wins exceeds the trials. Takes trials x (wins + 1) steps.
[[nodiscard]] double PoissonBinomialUpperTail(std::uint64_t wins, std::span<const double> chances);

// The draws of `record` evaluated at all four positions, in order; `table`
// is the one the record was made from (draw numbers rising). May throw
// std::bad_alloc.
[[nodiscard]] std::vector<BetDraw> BetDraws(const DrawTable& table, const BacktestRecord& record,
                                            std::span<const DrawPayouts> payouts = {});

// The tally of one ticket of `type` a draw for `bettor`, at the real
// amounts when `real`; the balance after each ticket goes to `balances`
// when given. May throw std::bad_alloc.
[[nodiscard]] MoneyLine TallyMoney(std::span<const BetDraw> draws, BetType type, Bettor bettor,
                                   std::vector<std::int64_t>* balances = nullptr,
                                   bool real = false);

// The money record of `draws` for `type`: the three bettors on them at the
// amounts ResolveAmounts gives, with the p of the amount won. May throw
// std::bad_alloc.
[[nodiscard]] MoneyRecord RecordMoneyOf(std::span<const BetDraw> draws, BetType type,
                                        const MoneyAmounts& amounts = {});

// The money record of `record` (made from `table`) for `type`: the three
// bettors on the draws evaluated at all four positions. May throw std::bad_alloc.
[[nodiscard]] MoneyRecord RecordMoney(const DrawTable& table, const BacktestRecord& record,
                                      BetType type, const MoneyAmounts& amounts = {});

struct BacktestMoney {
    BacktestResult result;  // exactly Backtest's
    MoneyRecord money;      // exactly RecordMoney's of BacktestWithRecord's record
};

// Backtest with the money record of `type`, made straight from the
// forecasts without the draw-by-draw record (same progress, same cancel).
// May throw std::bad_alloc.
[[nodiscard]] std::optional<BacktestMoney> BacktestWithMoney(
    const DrawTable& table, const Setting& setting, const EvaluationOptions& options, BetType type,
    const RunControl& control = {}, const MoneyAmounts& amounts = {});

}  // namespace corvalith::evaluate
