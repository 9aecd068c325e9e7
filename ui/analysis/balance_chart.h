// 検証's 収支 chart: the cumulative balance in yen over the evaluated draws
// of one ticket a draw on the forecast's pick, against the expected line
// (the price less the expected payout, about -110 yen a ticket), with the
// fixed-number and hot-rule baselines as thinner lines. At the record's
// amounts (MoneyNoteOf); at real payouts the expected line is chance's
// balance draw by draw.
#pragma once

#include "evaluate/money_record.h"

class QChart;

namespace corvalith {

// A new chart of `money` (the caller takes it over).
[[nodiscard]] QChart* MakeBalanceChart(const evaluate::MoneyRecord& money);

}  // namespace corvalith
