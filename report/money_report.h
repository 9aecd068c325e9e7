// The reports of money: the tickets of a forecast, the money record of a
// backtest and the return rates of a sweep, as text (Japanese, for a
// terminal) and as JSON. Every figure is at the theoretical amounts and
// every text says so (kMoneyNote).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "evaluate/money_record.h"
#include "evaluate/sweep.h"
#include "evaluate/ticket_estimates.h"
#include "evaluate/ticket_plan.h"
#include "history/history_summary.h"
#include "report/json_parts.h"
#include "report/payouts_report.h"
#include "report/text_columns.h"
#include "report/text_report.h"

namespace corvalith {

inline constexpr const char* kMoneyNote = "理論値での計算（実際の払戻金は回ごとに異なります）";
inline constexpr const char* kRealMoneyNote = "実際の払戻金での計算";

// The note of a record at `amounts`: kRealMoneyNote or kMoneyNote.
[[nodiscard]] const char* MoneyNoteOf(const evaluate::AmountsUsed& amounts);

// Whether a money report tells its amounts (the history has payouts, or
// real ones were asked for); otherwise it is exactly as at theoretical
// amounts alone.
[[nodiscard]] bool TellsAmounts(const evaluate::AmountsUsed& amounts);

// What the tickets report shows: the setting, the draw it is for and the
// plan (none when a position has no forecast).
struct TicketsReport {
    HistorySummary history;
    FilterKind filter = FilterKind::Lpf;
    std::uint32_t interval = 15;
    FftPlacement fft = FftPlacement::Head;
    std::int32_t draw = 0;
    std::optional<evaluate::TicketPlan> plan;
    // With the history's payouts: every listed number's classes and
    // estimated payout if it wins.
    std::optional<evaluate::TicketEstimates> estimates;
};

[[nodiscard]] std::string TicketsText(const TicketsReport& report);

// The tickets table: one row per bet type on the pick and, `withSpread`, the
// spread's straights as one more row; the estimate column with estimates.
[[nodiscard]] std::vector<std::string> TicketsTableHeader(const TicketsReport& report);
[[nodiscard]] std::vector<TableRow> TicketsTableRows(const TicketsReport& report, bool withSpread);

// The money table of a record: one row per way of buying (予想の 1 位, 固定,
// ホット and, when it ran, the payout-aware pick).
[[nodiscard]] std::vector<std::string> MoneyTableHeader();
[[nodiscard]] std::vector<TableRow> MoneyTableRows(const evaluate::MoneyRecord& money);

// {"format": 1, "command": "tickets", "history", "setting", "draw", "pick"
// (or null), "pattern", "box_orders", "box_numbers", "price", "types"
// [{"type", "played_as", "win_chance", "expected_payout"}], "spread" (or
// null), "note"} and a line break.
[[nodiscard]] std::string TicketsJson(const TicketsReport& report);

// Yen with thousands separators: "1,407,800", "-12,600".
[[nodiscard]] std::string Yen(std::int64_t yen);

// The backtest's money block (appended to BacktestText) and its verdict line.
[[nodiscard]] std::string MoneyText(const evaluate::MoneyRecord& money);
[[nodiscard]] std::string MoneyVerdict(const evaluate::MoneyLine& line);
// The verdict when the record tells its amounts: the return against chance's
// line at the same amounts, with the p of the wins and of the amount.
[[nodiscard]] std::string MoneyVerdictAt(const evaluate::MoneyLine& line,
                                         const evaluate::AmountsUsed& amounts);

// {"type", "tickets", "spent", "won", "balance", "return_rate",
// "expected_return_rate", "wins" {"straight", "box"}, "max_drawdown",
// "p_value"}; when `amounts` (a record telling its amounts) also
// "won_theoretical", "expected_won" and, with `amountP`, "p_value_amount".
[[nodiscard]] Json MoneyLineJson(evaluate::BetType type, const evaluate::MoneyLine& line,
                                 const evaluate::AmountsUsed* amounts = nullptr,
                                 bool amountP = false);

// The backtest's JSON with "bet": the pick's line and "baselines" {"fixed"
// (with "number"), "hot"}.
[[nodiscard]] std::string BacktestJsonWithBet(const HistorySummary& history,
                                              const evaluate::BacktestResult& result, int top,
                                              const evaluate::MoneyRecord& money);

// The sweep's text with every setting's return rate after it, and its JSON
// with "bet" (the line and "p_holm") in every setting. The sweep ran with `type`.
[[nodiscard]] std::string SweepMoneyText(const ReportContext& context,
                                         const evaluate::SweepResult& result, int top,
                                         evaluate::BetType type);
[[nodiscard]] std::string SweepJsonWithBet(const HistorySummary& history,
                                           const evaluate::SweepResult& result, int top,
                                           evaluate::BetType type);

}  // namespace corvalith
