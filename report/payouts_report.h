// The report of what numbers paid when they won: the class table of the
// ratios of the real payouts to the theoretical amounts and the
// walk-forward check of the payout estimate, as text and as JSON.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "evaluate/payout_classes.h"
#include "evaluate/payout_model.h"
#include "history/history_summary.h"

namespace corvalith {

struct PayoutsReport {
    HistorySummary history;
    std::size_t withPayouts = 0;  // draws with a straight or box payout
    std::vector<evaluate::ClassRow> rows;
    evaluate::PayoutWalkForward model;
};

// The report of `table` with its `payouts` (one entry per draw). May throw
// std::bad_alloc.
[[nodiscard]] PayoutsReport MakePayoutsReport(const HistorySummary& history, const DrawTable& table,
                                              std::span<const DrawPayouts> payouts);

// The Japanese name of a class row: "シングル", "日付として読める", …
[[nodiscard]] std::string ClassRowName(evaluate::ClassKind kind, int value);
// The classes of a number in words: "シングル、日付として読める".
[[nodiscard]] std::string ClassesText(const evaluate::NumberClasses& classes);

[[nodiscard]] std::string PayoutsText(const PayoutsReport& report);
// {"format", "command": "payouts", "history", "draws_with_payouts", "classes"
// [{"class", "value", "straight" {"count", "mean", "low", "high"}, "box",
// "first_half", "second_half"}], "model" {"terms", "evaluated", "mae",
// "baseline_mae", "coefficients"}} and a line break.
[[nodiscard]] std::string PayoutsJson(const PayoutsReport& report);

}  // namespace corvalith
