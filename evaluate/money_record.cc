// The money record: the draws all four positions evaluated, one ticket each
// for each bettor, tallied in whole yen; the p-value by the exact
// Poisson-binomial tail of the wins.
#include "evaluate/money_record.h"

#include <algorithm>

#include "evaluate/bet_draws.h"
#include "evaluate/scoring.h"

namespace corvalith::evaluate {
namespace {

const Number4& NumberFor(const BetDraw& draw, Bettor bettor, const Number4& fixed) noexcept {
    switch (bettor) {
        case Bettor::Pick:
            return draw.pick;
        case Bettor::Fixed:
            return fixed;
        case Bettor::Hot:
            return draw.hot;
    }
    return draw.pick;
}

}  // namespace

double PoissonBinomialUpperTail(std::uint64_t wins, std::span<const double> chances) {
    if (wins == 0) return 1.0;
    if (wins > chances.size()) return 0.0;
    // now[k]: P(k successes so far) for k < wins; reached: P(at least wins).
    // Each trial writes the next distribution into a second buffer, so that
    // its lanes do not depend on one another and the loop vectorises.
    const auto size = static_cast<std::size_t>(wins);
    std::vector<double> now(size, 0.0);
    std::vector<double> next(size, 0.0);
    now[0] = 1.0;
    double reached = 0.0;
    std::size_t top = 0;  // the highest k with now[k] possibly nonzero; never falls
    for (const double q : chances) {
        const double miss = 1.0 - q;
        reached += now[size - 1] * q;
        const std::size_t highest = std::min(top + 1, size - 1);
        const double* from = now.data();
        double* to = next.data();
        to[0] = from[0] * miss;
        for (std::size_t k = 1; k <= highest; ++k) to[k] = from[k] * miss + from[k - 1] * q;
        now.swap(next);
        top = highest;
    }
    return std::min(reached, 1.0);
}

std::vector<BetDraw> BetDraws(const DrawTable& table, const BacktestRecord& record) {
    const std::size_t n = detail::DrawCount(table);
    const std::vector<Number4> hot = detail::HotPicks(table);
    std::array<std::size_t, kPositionCount> next{};  // each position's next record entry
    std::vector<BetDraw> draws;
    for (std::size_t j = 0; j < n; ++j) {
        BetDraw draw;
        draw.draw = table.numbers[j];
        std::size_t evaluated = 0;
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            const auto& list = record.draws[p];
            if (next[p] >= list.size() || list[next[p]].draw != table.numbers[j]) continue;
            draw.pick[p] = list[next[p]].pick;
            draw.drawn[p] = static_cast<std::uint8_t>(table.values[p][j]);
            ++next[p];
            ++evaluated;
        }
        if (evaluated != kPositionCount) continue;
        draw.hot = hot[j];
        draws.push_back(draw);
    }
    return draws;
}

MoneyLine TallyMoney(std::span<const BetDraw> draws, BetType type, Bettor bettor,
                     std::vector<std::int64_t>* balances) {
    MoneyLine line;
    if (draws.empty()) return line;
    const Number4 fixed = draws.front().pick;
    std::vector<double> chances;
    chances.reserve(draws.size());
    if (balances != nullptr) balances->reserve(balances->size() + draws.size());
    double expected = 0.0;
    std::int64_t balance = 0;
    std::int64_t peak = 0;
    // A bettor's number seldom changes: its chance, expectation and digits are kept.
    std::optional<Number4> last;
    double chance = 0.0, expectedYen = 0.0;
    std::uint32_t digits = 0;
    for (const BetDraw& draw : draws) {
        const Number4& number = NumberFor(draw, bettor, fixed);
        if (!last || *last != number) {
            last = number;
            chance = WinChance(type, number);
            expectedYen = ExpectedPayout(type, number);
            digits = DigitsKey(number);
        }
        balance -= kTicketPrice;
        // Most tickets lose: no win of any kind without the same digits.
        if (DigitsKey(draw.drawn) == digits) {
            const Payout payout = PayoutOf(type, number, draw.drawn);
            line.won += payout.yen;
            balance += payout.yen;
            line.straightWins += payout.win == Win::Straight ? 1 : 0;
            line.boxWins += payout.win == Win::Box ? 1 : 0;
            peak = std::max(peak, balance);
        }
        line.maxDrawdown = std::max(line.maxDrawdown, peak - balance);
        if (balances != nullptr) balances->push_back(balance);
        expected += expectedYen;
        chances.push_back(chance);
    }
    line.tickets = draws.size();
    line.spent = static_cast<std::int64_t>(line.tickets) * kTicketPrice;
    line.balance = balance;
    const auto spent = static_cast<double>(line.spent);
    line.returnRate = static_cast<double>(line.won) / spent;
    line.expectedReturnRate = expected / spent;
    line.pValue = PoissonBinomialUpperTail(line.straightWins + line.boxWins, chances);
    return line;
}

MoneyRecord RecordMoneyOf(std::span<const BetDraw> draws, BetType type) {
    MoneyRecord money;
    money.type = type;
    money.draws.reserve(draws.size());
    for (const BetDraw& draw : draws) money.draws.push_back(draw.draw);
    if (!draws.empty()) money.fixedNumber = draws.front().pick;
    money.pick.line = TallyMoney(draws, type, Bettor::Pick, &money.pick.balances);
    money.fixed.line = TallyMoney(draws, type, Bettor::Fixed, &money.fixed.balances);
    money.hot.line = TallyMoney(draws, type, Bettor::Hot, &money.hot.balances);
    return money;
}

MoneyRecord RecordMoney(const DrawTable& table, const BacktestRecord& record, BetType type) {
    return RecordMoneyOf(BetDraws(table, record), type);
}

}  // namespace corvalith::evaluate
