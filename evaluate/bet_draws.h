// The draws a money record bets on, made straight from a setting's
// forecasts (the sweep's road) and the hot rule's picks. Internal to the
// evaluation.
#pragma once

#include <vector>

#include "evaluate/money_record.h"
#include "evaluate/payout_model.h"
#include "evaluate/scoring.h"

namespace corvalith::evaluate::detail {

// The hot rule's pick for every draw of `table` (indexed as the table's draws).
[[nodiscard]] std::vector<Number4> HotPicks(const DrawTable& table);

// The draws ScoreForecasts evaluates at all four positions, with the picks
// of `forecasts`, the hot picks `hot` (HotPicks of the table) and the
// draws' payouts when `payouts` has them. May throw
// std::bad_alloc.
[[nodiscard]] std::vector<BetDraw> BetDrawsOf(const DrawTable& table, const Setting& setting,
                                              const EvaluationOptions& options,
                                              const PositionForecasts& forecasts,
                                              const std::vector<Number4>& hot,
                                              std::span<const DrawPayouts> payouts = {});

// Sets each draw's payoutPick: among the 16 numbers of each position's
// first two digits (the pick first, in rank order), the one with the
// highest estimated straight ratio, the estimate fitted on the `paid` draws
// numbered below the draw (PaidDraws of the table, in order); the first
// highest on equal estimates; the pick while the fit has too few draws.
void ChoosePayoutPicks(std::vector<BetDraw>& draws, std::span<const PaidDraw> paid);

}  // namespace corvalith::evaluate::detail
