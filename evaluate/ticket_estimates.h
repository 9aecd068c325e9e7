// What a ticket's payout estimate needs at the next draw: the payout model
// fitted on every draw with payouts, the last draws (whether a number was
// drawn lately is one of its classes) and the class table.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "evaluate/payout_classes.h"
#include "evaluate/payout_model.h"
#include "history/draw_payouts.h"
#include "history/draw_table.h"

namespace corvalith::evaluate {

struct TicketEstimates {
    PayoutFit fit;
    std::vector<Number4> recent;
    std::vector<ClassRow> rows;
};

// The estimates of the next draw from `table` and its `payouts`; none when
// too few draws have payouts. May throw std::bad_alloc.
[[nodiscard]] std::optional<TicketEstimates> TicketEstimatesOf(
    const DrawTable& table, std::span<const DrawPayouts> payouts);

}  // namespace corvalith::evaluate
