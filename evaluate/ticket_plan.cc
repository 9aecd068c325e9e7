// The plan: the box orders by the permutations of the sorted digits, the
// spread by counting through the ranks of each position.
#include "evaluate/ticket_plan.h"

#include <algorithm>

namespace corvalith::evaluate {

TicketPlan PlanTickets(const Rankings& rankings, int spread) {
    TicketPlan plan;
    for (std::size_t p = 0; p < plan.pick.size(); ++p) {
        plan.pick[p] = static_cast<std::uint8_t>(std::clamp(rankings[p][0], 0, 9));
    }
    plan.pattern = PatternOf(plan.pick);
    Number4 order = plan.pick;
    std::sort(order.begin(), order.end());
    do {
        plan.boxNumbers.push_back(order);
    } while (std::next_permutation(order.begin(), order.end()));

    plan.spread = std::clamp(spread, 0, kMaxSpread);
    const int k = plan.spread;
    const int count = k * k * k * k;
    plan.spreadNumbers.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Number4 number{};
        int rest = i;
        for (int p = 3; p >= 0; --p) {
            const int rank = rest % k;
            rest /= k;
            number[static_cast<std::size_t>(p)] = static_cast<std::uint8_t>(std::clamp(
                rankings[static_cast<std::size_t>(p)][static_cast<std::size_t>(rank)], 0, 9));
        }
        plan.spreadNumbers.push_back(number);
    }
    plan.spreadCost = count * kTicketPrice;
    plan.spreadChance = count / static_cast<double>(kNumbers);
    return plan;
}

}  // namespace corvalith::evaluate
