#include "evaluate/ticket_estimates.h"

namespace corvalith::evaluate {

std::optional<TicketEstimates> TicketEstimatesOf(const DrawTable& table,
                                                 std::span<const DrawPayouts> payouts) {
    const std::vector<PaidDraw> draws = PaidDraws(table, payouts);
    PayoutModel model;
    for (const PaidDraw& draw : draws) {
        if (draw.straightRatio) model.Add(draw.classes, *draw.straightRatio);
    }
    const std::optional<PayoutFit> fit = model.Fit();
    if (!fit) return std::nullopt;
    TicketEstimates estimates;
    estimates.fit = *fit;
    const std::size_t from = draws.size() > kRecentDraws ? draws.size() - kRecentDraws : 0;
    for (std::size_t j = from; j < draws.size(); ++j) estimates.recent.push_back(draws[j].drawn);
    estimates.rows = ClassTable(draws);
    return estimates;
}

}  // namespace corvalith::evaluate
