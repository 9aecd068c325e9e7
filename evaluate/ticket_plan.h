// The tickets of one forecast: the pick (the four first-ranked digits), its
// pattern and the orders a box ticket covers, and the spread of every
// straight number made of each position's first K digits.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "evaluate/ticket_rules.h"
#include "predict/cycle_counts.h"

namespace corvalith::evaluate {

inline constexpr int kMaxSpread = 3;  // --spread K: 1 .. 3 (0: no spread)

// The four positions' rankings, thousands first, best digit first.
using Rankings = std::array<std::array<int, kDigits>, 4>;

struct TicketPlan {
    Number4 pick{};
    Pattern pattern = Pattern::Single;
    std::vector<Number4> boxNumbers;     // the distinct orders of the pick's digits, ascending
    int spread = 0;                      // K; 0 without a spread
    std::vector<Number4> spreadNumbers;  // K^4, by rank with the thousands varying slowest
    std::int64_t spreadCost = 0;         // yen
    double spreadChance = 0.0;  // that one of them wins straight if digits are uniform: K^4/10,000
};

// The plan of `rankings` (digits 0-9 each) with a spread of `spread`
// (taken into 0 .. kMaxSpread). May throw std::bad_alloc.
[[nodiscard]] TicketPlan PlanTickets(const Rankings& rankings, int spread);

}  // namespace corvalith::evaluate
