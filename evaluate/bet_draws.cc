// The bet draws from forecasts: the scoring's rule for a draw evaluated at a
// position (a candidate with a forecast and a drawn digit), at all four.
#include "evaluate/bet_draws.h"

#include <algorithm>

namespace corvalith::evaluate::detail {

std::vector<Number4> HotPicks(const DrawTable& table) {
    const std::size_t n = DrawCount(table);
    std::vector<Number4> picks(n);
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        std::array<std::uint64_t, kDigits> seen{};  // counts of the draws before
        // The first of the most frequent digits (equal counts by the lower
        // digit). Only the digit just drawn gains, so it takes the lead when
        // it passes the leader or draws level with it from below.
        std::size_t hot = 0;
        for (std::size_t j = 0; j < n; ++j) {
            picks[j][p] = static_cast<std::uint8_t>(hot);
            const double value = table.values[p][j];
            if (!IsDigitValue(value)) continue;
            const auto digit = static_cast<std::size_t>(value);
            ++seen[digit];
            if (seen[digit] > seen[hot] || (seen[digit] == seen[hot] && digit < hot)) hot = digit;
        }
    }
    return picks;
}

std::vector<BetDraw> BetDrawsOf(const DrawTable& table, const Setting& setting,
                                const EvaluationOptions& options,
                                const PositionForecasts& forecasts, const std::vector<Number4>& hot,
                                std::span<const DrawPayouts> payouts) {
    std::vector<BetDraw> draws;
    if (setting.interval == 0) return draws;
    const std::size_t n = std::min(DrawCount(table), hot.size());
    const std::size_t first = FirstCandidate(table, options);
    draws.reserve(n - std::min(first, n));
    for (std::size_t j = first; j < n; ++j) {
        if (options.from && table.numbers[j] < *options.from) continue;
        const std::size_t m = j / setting.interval;
        BetDraw draw;
        draw.draw = table.numbers[j];
        draw.hot = hot[j];
        bool all = true;
        for (std::size_t p = 0; p < kPositionCount && all; ++p) {
            const CycleForecasts* cycles = forecasts[p];
            const double value = table.values[p][j];
            all = cycles != nullptr && m < cycles->size() && (*cycles)[m] && IsDigitValue(value);
            if (!all) break;
            draw.pick[p] = (*(*cycles)[m])[0];
            draw.second[p] = (*(*cycles)[m])[1];
            draw.drawn[p] = static_cast<std::uint8_t>(value);
        }
        if (!all) continue;
        if (j < payouts.size()) draw.paid = payouts[j];
        draw.payoutPick = draw.pick;
        draws.push_back(draw);
    }
    return draws;
}

void ChoosePayoutPicks(std::vector<BetDraw>& draws, std::span<const PaidDraw> paid) {
    PayoutModel model;
    std::vector<Number4> before;
    std::size_t next = 0;  // the first paid draw not yet in the model
    for (BetDraw& draw : draws) {
        while (next < paid.size() && paid[next].draw < draw.draw) {
            if (paid[next].straightRatio) model.Add(paid[next].classes, *paid[next].straightRatio);
            before.push_back(paid[next].drawn);
            ++next;
        }
        draw.payoutPick = draw.pick;
        const std::optional<PayoutFit> fit = model.Fit();
        if (!fit) continue;
        double best = 0.0;
        for (int i = 0; i < 16; ++i) {
            Number4 number{};
            for (std::size_t p = 0; p < kPositionCount; ++p) {
                number[p] = (i >> (3 - p)) & 1 ? draw.second[p] : draw.pick[p];
            }
            const double ratio = EstimateWith(*fit, ClassesOf(number, before)).ratio;
            if (i == 0 || ratio > best) {
                best = ratio;
                draw.payoutPick = number;
            }
        }
    }
}

}  // namespace corvalith::evaluate::detail
