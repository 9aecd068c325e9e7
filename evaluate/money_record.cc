// The money record: the draws all four positions evaluated, one ticket each
// for each bettor, tallied in whole yen; the p-value by the exact
// Poisson-binomial tail of the wins.
#include "evaluate/money_record.h"

#include <algorithm>
#include <cmath>
#include <random>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
        case Bettor::PayoutPick:
            return draw.payoutPick;
    }
    return draw.pick;
}

// A run of tickets with one winning chance: a bettor's number seldom changes.
struct ChanceRun {
    double chance = 0.0;
    std::size_t tickets = 0;
};

// The tail over the trials of `runs`, each run's chance once per trial.
// now[k]: P(k successes so far) for k < wins; reached: P(at least wins).
// Each trial writes the next distribution into a second buffer, every k
// from the same two terms, now[k] * (1 - q) + now[k - 1] * q (now[-1] being
// 0, and k past the highest reached being 0 + 0), so that neighbouring k go
// side by side: two at a time in SSE2's lanes where it is there, from
// aligned pairs, the same IEEE operations in the same order for each k,
// never fused.
double UpperTailOfRuns(std::uint64_t wins, std::span<const ChanceRun> runs) {
    std::size_t trials = 0;
    for (const ChanceRun& run : runs) trials += run.tickets;
    if (wins == 0) return 1.0;
    if (wins > trials) return 0.0;
    const auto size = static_cast<std::size_t>(wins);
    const std::size_t padded = size + (size % 2);  // whole pairs; the extra k is never read
    std::vector<double> now(padded, 0.0);
    std::vector<double> next(padded, 0.0);
    now[0] = 1.0;
    double reached = 0.0;
    for (const ChanceRun& run : runs) {
        const double q = run.chance;
        const double miss = 1.0 - q;
#if defined(__SSE2__)
        const __m128d missLanes = _mm_set1_pd(miss);
        const __m128d qLanes = _mm_set1_pd(q);
#endif
        for (std::size_t t = 0; t < run.tickets; ++t) {
            reached += now[size - 1] * q;
            const double* from = now.data();
            double* to = next.data();
#if defined(__SSE2__)
            __m128d before = _mm_setzero_pd();  // the pair below: (now[k - 2], now[k - 1])
            for (std::size_t k = 0; k < padded; k += 2) {
                const __m128d pair = _mm_loadu_pd(from + k);
                const __m128d lower = _mm_shuffle_pd(before, pair, 1);  // (now[k - 1], now[k])
                _mm_storeu_pd(to + k,
                              _mm_add_pd(_mm_mul_pd(pair, missLanes), _mm_mul_pd(lower, qLanes)));
                before = pair;
            }
#else
            double lower = 0.0;
            for (std::size_t k = 0; k < padded; ++k) {
                to[k] = from[k] * miss + lower * q;
                lower = from[k];
            }
#endif
            now.swap(next);
        }
    }
    return std::min(reached, 1.0);
}

// One ticket as the amount's simulation sees it: its chance of any win,
// the share of those wins that are straight, and what each kind pays.
struct SimTicket {
    double straightShare = 1.0;
    std::int64_t straightYen = 0;
    std::int64_t boxYen = 0;
};

// P(amount >= won) by kAmountSimulations records drawn from kAmountSeed:
// the tickets of one chance are walked by geometric gaps between wins, so a
// simulation costs about its wins, not its tickets.
double AmountTail(std::int64_t won,
                  const std::vector<std::pair<double, std::vector<SimTicket>>>& groups) {
    if (won <= 0) return 1.0;
    std::mt19937_64 random(kAmountSeed);
    // A uniform double in (0, 1] from 53 random bits.
    const auto uniform = [&random]() {
        return (static_cast<double>(random() >> 11) + 1.0) * 0x1.0p-53;
    };
    int reached = 0;
    for (int s = 0; s < kAmountSimulations; ++s) {
        std::int64_t amount = 0;
        for (const auto& group : groups) {
            const double chance = group.first;
            const std::vector<SimTicket>& tickets = group.second;
            if (chance <= 0.0) continue;
            const double logMiss = std::log1p(-chance);
            const auto gap = [&]() {
                const double g = std::floor(std::log(uniform()) / logMiss);
                return g >= static_cast<double>(tickets.size()) ? tickets.size()
                                                                : static_cast<std::size_t>(g);
            };
            for (std::size_t at = gap(); at < tickets.size(); at += 1 + gap()) {
                const SimTicket& ticket = tickets[at];
                amount += uniform() <= ticket.straightShare ? ticket.straightYen : ticket.boxYen;
            }
        }
        reached += amount >= won ? 1 : 0;
    }
    return (1.0 + reached) / (1.0 + kAmountSimulations);
}

// One bettor's tally, a ticket at a time.
class Tally {
  public:
    Tally(BetType type, std::vector<std::int64_t>* balances, std::size_t tickets, bool real,
          bool simulate = false)
        : type_(type), balances_(balances), real_(real), simulate_(simulate) {
        if (balances_ != nullptr) balances_->reserve(balances_->size() + tickets);
    }

    // One ticket on `number` on `draw` (whose drawn DigitsKey is `drawnDigits`).
    void Add(const Number4& number, const BetDraw& draw, std::uint32_t drawnDigits) {
        const int code = NumberOf(number);
        if (runs_.empty() || last_ != code) {
            last_ = code;
            expectedYen_ = ExpectedPayout(type_, number);
            digits_ = DigitsKey(number);
            chance_ = WinChance(type_, number);
            if (runs_.empty() || runs_.back().chance != chance_) runs_.push_back({chance_, 0});
        }
        ++runs_.back().tickets;
        ++line_.tickets;
        balance_ -= kTicketPrice;
        // Most tickets lose: no win of any kind without the same digits.
        if (drawnDigits == digits_) {
            const Payout payout = PayoutOf(type_, number, draw.drawn);
            const std::int64_t yen =
                real_ ? RealPayoutOf(type_, number, draw.drawn, draw.paid).yen : payout.yen;
            line_.won += yen;
            line_.wonTheoretical += payout.yen;
            balance_ += yen;
            line_.straightWins += payout.win == Win::Straight ? 1 : 0;
            line_.boxWins += payout.win == Win::Box ? 1 : 0;
            peak_ = std::max(peak_, balance_);
        }
        line_.maxDrawdown = std::max(line_.maxDrawdown, peak_ - balance_);
        if (balances_ != nullptr) balances_->push_back(balance_);
        line_.expectedWon +=
            real_ ? ChanceExpectedPayout(type_, draw.drawn, draw.paid) : expectedYen_;
        if (simulate_) AddSimTicket(number, draw);
    }

    MoneyLine Finish() {
        if (line_.tickets == 0) return line_;
        line_.spent = static_cast<std::int64_t>(line_.tickets) * kTicketPrice;
        line_.balance = balance_;
        const auto spent = static_cast<double>(line_.spent);
        line_.returnRate = static_cast<double>(line_.won) / spent;
        line_.expectedReturnRate = line_.expectedWon / spent;
        line_.pValue = UpperTailOfRuns(line_.straightWins + line_.boxWins, runs_);
        if (simulate_) line_.amountPValue = AmountTail(line_.won, groups_);
        return line_;
    }

  private:
    // The ticket as the simulation draws it: a win is straight with the
    // chance of one order in the orders it wins on.
    void AddSimTicket(const Number4& number, const BetDraw& draw) {
        auto group = std::find_if(groups_.begin(), groups_.end(),
                                  [this](const auto& g) { return g.first == chance_; });
        if (group == groups_.end()) {
            groups_.push_back({chance_, {}});
            group = groups_.end() - 1;
        }
        SimTicket ticket;
        const double orders = chance_ * kNumbers;
        ticket.straightShare = orders > 0.0 ? 1.0 / orders : 1.0;
        // The amounts of a straight win and of a box win on this ticket.
        Number4 other = number;
        std::next_permutation(other.begin(), other.end());
        if (other == number) std::prev_permutation(other.begin(), other.end());
        // At real amounts a simulated win is paid the theoretical amount of
        // the ticket's own pattern times that draw's ratio of the same kind
        // (the draw's amounts are for the number actually drawn).
        const auto pays = [&](const Number4& drawn) {
            const Payout payout = PayoutOf(type_, number, drawn);
            if (!real_ || payout.win == Win::None) return payout.yen;
            const BetType played = PlayedAs(type_, number);
            PayoutKind kind = PayoutKind::Straight;
            if (played == BetType::Box) kind = PayoutKind::Box;
            if (played == BetType::Set) {
                kind = payout.win == Win::Straight ? PayoutKind::SetStraight : PayoutKind::SetBox;
            }
            const PatternAmounts& at = AmountsOf(PatternOf(draw.drawn));
            const std::int64_t amounts[] = {at.straight, at.box, at.setStraight, at.setBox};
            const std::int64_t theoretical = amounts[static_cast<std::size_t>(kind)];
            const auto& paid = draw.paid[kind];
            if (!paid || theoretical <= 0) return payout.yen;
            return static_cast<std::int64_t>(
                std::llround(static_cast<double>(payout.yen) * static_cast<double>(*paid) /
                             static_cast<double>(theoretical)));
        };
        ticket.straightYen = pays(number);
        ticket.boxYen = other == number ? 0 : pays(other);
        group->second.push_back(ticket);
    }

    BetType type_;
    std::vector<std::int64_t>* balances_;
    bool real_;
    bool simulate_;
    MoneyLine line_;
    std::vector<ChanceRun> runs_;
    std::vector<std::pair<double, std::vector<SimTicket>>> groups_;
    int last_ = 0;  // NumberOf the last ticket's number
    double expectedYen_ = 0.0;
    double chance_ = 0.0;
    std::uint32_t digits_ = 0;
    std::int64_t balance_ = 0;
    std::int64_t peak_ = 0;
};

}  // namespace

double PoissonBinomialUpperTail(std::uint64_t wins, std::span<const double> chances) {
    std::vector<ChanceRun> runs;
    for (const double q : chances) {
        if (runs.empty() || runs.back().chance != q) runs.push_back({q, 0});
        ++runs.back().tickets;
    }
    return UpperTailOfRuns(wins, runs);
}

AmountsUsed ResolveAmounts(std::span<const BetDraw> draws, BetType type,
                           const MoneyAmounts& amounts) {
    AmountsUsed used;
    used.known = std::any_of(amounts.payouts.begin(), amounts.payouts.end(),
                             [](const DrawPayouts& paid) { return paid.Any(); });
    for (const BetDraw& draw : draws) used.lacking += LacksPayouts(type, draw.drawn, draw.paid);
    used.real = amounts.mode == PayoutMode::Real ||
                (amounts.mode == PayoutMode::Auto && used.known && used.lacking == 0);
    return used;
}

std::vector<BetDraw> BetDraws(const DrawTable& table, const BacktestRecord& record,
                              std::span<const DrawPayouts> payouts) {
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
        draw.second = draw.pick;  // the record keeps only the first-ranked digits
        draw.payoutPick = draw.pick;
        if (j < payouts.size()) draw.paid = payouts[j];
        draws.push_back(draw);
    }
    return draws;
}

MoneyLine TallyMoney(std::span<const BetDraw> draws, BetType type, Bettor bettor,
                     std::vector<std::int64_t>* balances, bool real) {
    if (draws.empty()) return {};
    const Number4 fixed = draws.front().pick;
    Tally tally(type, balances, draws.size(), real);
    for (const BetDraw& draw : draws) {
        tally.Add(NumberFor(draw, bettor, fixed), draw, DigitsKey(draw.drawn));
    }
    return tally.Finish();
}

MoneyRecord RecordMoneyOf(std::span<const BetDraw> draws, BetType type,
                          const MoneyAmounts& amounts) {
    MoneyRecord money;
    money.type = type;
    money.amounts = ResolveAmounts(draws, type, amounts);
    if (draws.empty()) return money;
    money.draws.reserve(draws.size());
    money.expectedBalances.reserve(draws.size());
    const Number4 fixed = draws.front().pick;
    money.fixedNumber = fixed;
    const bool real = money.amounts.real;
    // The three bettors in one pass, each drawn number's digits found once.
    Tally pick(type, &money.pick.balances, draws.size(), real, true);
    Tally fixedTally(type, &money.fixed.balances, draws.size(), real, true);
    Tally hot(type, &money.hot.balances, draws.size(), real, true);
    std::optional<Tally> payoutPick;
    if (amounts.payoutPick) {
        money.payoutPick.emplace();
        payoutPick.emplace(type, &money.payoutPick->balances, draws.size(), real, true);
    }
    double expected = 0.0;
    for (const BetDraw& draw : draws) {
        money.draws.push_back(draw.draw);
        const std::uint32_t drawn = DigitsKey(draw.drawn);
        pick.Add(draw.pick, draw, drawn);
        fixedTally.Add(fixed, draw, drawn);
        hot.Add(draw.hot, draw, drawn);
        if (payoutPick) payoutPick->Add(draw.payoutPick, draw, drawn);
        expected += (real ? ChanceExpectedPayout(type, draw.drawn, draw.paid)
                          : ExpectedPayout(type, draw.pick)) -
                    static_cast<double>(kTicketPrice);
        money.expectedBalances.push_back(expected);
    }
    money.pick.line = pick.Finish();
    money.fixed.line = fixedTally.Finish();
    money.hot.line = hot.Finish();
    if (payoutPick) money.payoutPick->line = payoutPick->Finish();
    return money;
}

MoneyRecord RecordMoney(const DrawTable& table, const BacktestRecord& record, BetType type,
                        const MoneyAmounts& amounts) {
    return RecordMoneyOf(BetDraws(table, record, amounts.payouts), type, amounts);
}

}  // namespace corvalith::evaluate
