// The money record: a worked record counted by hand, the Poisson-binomial
// tail against a direct sum over every outcome, and the record against the
// backtest's straight hits and the sweep's own tally; the hot picks and the
// money record made straight from the forecasts against their plain forms.
#include "evaluate/money_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "evaluate/bet_draws.h"
#include "evaluate/scoring.h"
#include "evaluate/sweep.h"
#include "tests/evaluate/backtest_reference.h"

namespace corvalith::evaluate {
namespace {

Number4 N(int n) { return DigitsOf(n); }

TEST(MoneyRecord, WorkedRecordCountedByHand) {
    // Box bets. The hot rule always picks 0000 (a quad: played straight).
    const std::vector<BetDraw> draws = {
        {1, N(4321), N(1234), N(0)},  // single box: 37,500
        {2, N(9999), N(1123), N(0)},  // loss
        {3, N(1111), N(1111), N(0)},  // a quad pick is played straight: 900,000
        {4, N(2211), N(1122), N(0)},  // double-double box: 150,000
        {5, N(5556), N(5555), N(0)},  // loss (straight)
        {6, N(0), N(1234), N(0)},     // loss; the hot rule wins straight: 900,000
    };
    std::vector<std::int64_t> balances;
    const MoneyLine pick = TallyMoney(draws, BetType::Box, Bettor::Pick, &balances);
    EXPECT_EQ(pick.tickets, 6u);
    EXPECT_EQ(pick.spent, 1200);
    EXPECT_EQ(pick.won, 1'087'500);
    EXPECT_EQ(pick.balance, 1'086'300);
    EXPECT_DOUBLE_EQ(pick.returnRate, 1'087'500.0 / 1200.0);
    EXPECT_DOUBLE_EQ(pick.expectedReturnRate, 0.45);
    EXPECT_EQ(pick.straightWins, 1u);
    EXPECT_EQ(pick.boxWins, 2u);
    EXPECT_EQ(balances, (std::vector<std::int64_t>{37'300, 37'100, 936'900, 1'086'700, 1'086'500,
                                                   1'086'300}));
    EXPECT_EQ(pick.maxDrawdown, 400);  // 1,086,700 down to 1,086,300
    // Chances 24, 12, 1, 6, 1, 24 in 10,000; three or more wins.
    EXPECT_DOUBLE_EQ(
        pick.pValue,
        PoissonBinomialUpperTail(3, std::vector<double>{24e-4, 12e-4, 1e-4, 6e-4, 1e-4, 24e-4}));

    const MoneyLine fixed = TallyMoney(draws, BetType::Box, Bettor::Fixed);  // 1234 every draw
    EXPECT_EQ(fixed.won, 37'500);
    EXPECT_EQ(fixed.boxWins, 1u);
    EXPECT_EQ(fixed.maxDrawdown, 1000);  // five losses after the win
    EXPECT_NEAR(fixed.pValue, 1.0 - std::pow(1.0 - 24e-4, 6), 1e-15);

    const MoneyLine hot = TallyMoney(draws, BetType::Box, Bettor::Hot);
    EXPECT_EQ(hot.won, 900'000);
    EXPECT_EQ(hot.straightWins, 1u);
    EXPECT_EQ(hot.maxDrawdown, 1000);  // from 0 before the first ticket
    EXPECT_NEAR(hot.pValue, 1.0 - std::pow(1.0 - 1e-4, 6), 1e-15);

    // The set: 18,700 + 0 + 900,000 + 75,000; the single's set expectation is 89.88 yen.
    const MoneyLine set = TallyMoney(draws, BetType::Set, Bettor::Pick);
    EXPECT_EQ(set.won, 993'700);
    EXPECT_NEAR(set.expectedReturnRate, (89.88 * 2 + 90 * 4) / 1200.0, 1e-12);
    EXPECT_EQ(TallyMoney({}, BetType::Set, Bettor::Pick).tickets, 0u);
}

TEST(MoneyRecord, PoissonBinomialTailIsTheSumOverEveryOutcome) {
    const std::vector<double> chances = {0.3, 1e-4, 0.5,  0.0024, 0.9, 0.0012,
                                         1.0, 0.0,  0.25, 0.0006, 0.7, 0.05};
    const std::size_t n = chances.size();
    std::vector<double> atLeast(n + 2, 0.0);
    for (std::uint32_t outcome = 0; outcome < (1u << n); ++outcome) {
        double p = 1.0;
        std::size_t wins = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const bool won = (outcome >> i) & 1u;
            p *= won ? chances[i] : 1.0 - chances[i];
            wins += won ? 1 : 0;
        }
        for (std::size_t w = 0; w <= wins; ++w) atLeast[w] += p;
    }
    for (std::size_t w = 0; w <= n + 1; ++w) {
        EXPECT_NEAR(PoissonBinomialUpperTail(w, chances), atLeast[w], 1e-13) << w;
    }
    // A tiny tail keeps its relative precision: ten wins of ten at 1e-4.
    EXPECT_NEAR(PoissonBinomialUpperTail(10, std::vector<double>(10, 1e-4)) / 1e-40, 1.0, 1e-12);
}

// The tail step by step in one array, highest k first: every trial's
// arithmetic as the plain recurrence does it.
double TailInPlace(std::uint64_t wins, const std::vector<double>& chances) {
    if (wins == 0) return 1.0;
    if (wins > chances.size()) return 0.0;
    std::vector<double> below(wins, 0.0);
    below[0] = 1.0;
    double reached = 0.0;
    for (const double q : chances) {
        reached += below[wins - 1] * q;
        for (std::size_t k = wins - 1; k > 0; --k)
            below[k] = below[k] * (1.0 - q) + below[k - 1] * q;
        below[0] *= 1.0 - q;
    }
    return std::min(reached, 1.0);
}

TEST(MoneyRecord, PoissonBinomialTailIsThePlainRecurrenceBitForBit) {
    // Long runs of the box chances, as a record's tickets have them.
    std::mt19937 random(11);
    const double box[] = {24e-4, 12e-4, 6e-4, 4e-4, 1e-4};
    for (const std::size_t trials : {1u, 2u, 37u, 700u, 7039u}) {
        std::vector<double> chances;
        while (chances.size() < trials) {
            const double q = box[random() % 5];
            chances.insert(chances.end(),
                           std::min<std::size_t>(1 + random() % 400, trials - chances.size()), q);
        }
        for (const std::uint64_t wins : {0u, 1u, 2u, 5u, 21u, 40u}) {
            EXPECT_EQ(PoissonBinomialUpperTail(wins, chances), TailInPlace(wins, chances))
                << trials << " trials, " << wins << " wins";
        }
    }
}

TEST(MoneyRecord, HotPicksAreTheFirstMostFrequentDigitOfTheDrawsBefore) {
    DrawTable table = testing::RandomTable(900, 5, 2, 1);
    // Values that are not digits count for nothing.
    table.values[1][10] = 12.0;
    table.values[2][300] = -1.0;
    const std::vector<Number4> hot = detail::HotPicks(table);
    const std::size_t n = detail::DrawCount(table);
    ASSERT_EQ(hot.size(), n);
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        std::array<std::uint64_t, kDigits> seen{};
        for (std::size_t j = 0; j < n; ++j) {
            const auto first = std::max_element(seen.begin(), seen.end()) - seen.begin();
            ASSERT_EQ(hot[j][p], first) << "position " << p << ", draw " << j;
            const double value = table.values[p][j];
            if (IsDigitValue(value)) ++seen[static_cast<std::size_t>(value)];
        }
    }
}

void ExpectSameLine(const MoneyLine& a, const MoneyLine& b) {
    EXPECT_EQ(a.tickets, b.tickets);
    EXPECT_EQ(a.spent, b.spent);
    EXPECT_EQ(a.won, b.won);
    EXPECT_EQ(a.balance, b.balance);
    EXPECT_EQ(a.returnRate, b.returnRate);
    EXPECT_EQ(a.expectedReturnRate, b.expectedReturnRate);
    EXPECT_EQ(a.straightWins, b.straightWins);
    EXPECT_EQ(a.boxWins, b.boxWins);
    EXPECT_EQ(a.maxDrawdown, b.maxDrawdown);
    EXPECT_EQ(a.pValue, b.pValue);
}

// The money record made from the forecasts is the one made from the
// backtest's draw-by-draw record, and its result is the backtest's.
TEST(MoneyRecord, BacktestWithMoneyIsTheRecordsMoney) {
    const DrawTable table = testing::RandomTable(800, 31, 2, 1);
    const Setting settings[] = {{FilterKind::Lpf, 15, FftPlacement::Head},
                                {FilterKind::Bpf, 10, FftPlacement::HeadTail},
                                {FilterKind::None, 5, FftPlacement::Head},
                                {FilterKind::Lpf, 0, FftPlacement::Head}};
    for (const EvaluationOptions options : {EvaluationOptions{}, EvaluationOptions{400}}) {
        for (const Setting& setting : settings) {
            const auto record = BacktestWithRecord(table, setting, options);
            ASSERT_TRUE(record.has_value());
            for (const BetType type : kAllBetTypes) {
                const auto backtest = BacktestWithMoney(table, setting, options, type);
                ASSERT_TRUE(backtest.has_value());
                EXPECT_EQ(backtest->result.straight.evaluated, record->result.straight.evaluated);
                EXPECT_EQ(backtest->result.positions[3].hits, record->result.positions[3].hits);
                EXPECT_EQ(backtest->result.changes, record->result.changes);
                const MoneyRecord expected = RecordMoney(table, *record, type);
                const MoneyRecord& money = backtest->money;
                EXPECT_EQ(money.type, type);
                EXPECT_EQ(money.draws, expected.draws);
                EXPECT_EQ(money.fixedNumber, expected.fixedNumber);
                ExpectSameLine(money.pick.line, expected.pick.line);
                ExpectSameLine(money.fixed.line, expected.fixed.line);
                ExpectSameLine(money.hot.line, expected.hot.line);
                EXPECT_EQ(money.pick.balances, expected.pick.balances);
                EXPECT_EQ(money.fixed.balances, expected.fixed.balances);
                EXPECT_EQ(money.hot.balances, expected.hot.balances);
            }
        }
    }
}

// The record's straight bet is the backtest's straight tally, and the sweep
// tallies every setting's picks to the same figures.
TEST(MoneyRecord, AgreesWithTheBacktestAndTheSweep) {
    const DrawTable table = testing::RandomTable(700, 23, 2, 1);
    const EvaluationOptions options{100};
    for (const BetType type : kAllBetTypes) {
        const auto sweep = Sweep(table, options, 1, 2, {}, type);
        ASSERT_TRUE(sweep.has_value());
        for (const std::size_t s : {0, 17, 40, 62}) {
            const SweepEntry& entry = sweep->settings[s];
            const auto record = BacktestWithRecord(table, entry.result.setting, options);
            ASSERT_TRUE(record && entry.money);
            const MoneyRecord money = RecordMoney(table, *record, type);
            const MoneyLine& line = money.pick.line;
            EXPECT_EQ(line.tickets, record->result.straight.evaluated);
            EXPECT_EQ(money.draws.size(), line.tickets);
            EXPECT_EQ(money.pick.balances.size(), line.tickets);
            if (type == BetType::Straight) {
                EXPECT_EQ(line.straightWins, record->result.straight.hits);
            }
            EXPECT_EQ(line.won, entry.money->won);
            EXPECT_EQ(line.boxWins, entry.money->boxWins);
            EXPECT_EQ(line.maxDrawdown, entry.money->maxDrawdown);
            EXPECT_EQ(line.pValue, entry.money->pValue);
            EXPECT_GE(entry.moneyPHolm, entry.money->pValue);
            EXPECT_NEAR(line.expectedReturnRate, 0.45, 0.0015);
            ASSERT_TRUE(money.fixedNumber.has_value());
            EXPECT_EQ(money.fixed.line.tickets, line.tickets);
            EXPECT_EQ(money.hot.line.tickets, line.tickets);
        }
    }
    const auto plain = Sweep(table, options, 1, 2);
    ASSERT_TRUE(plain.has_value());
    EXPECT_FALSE(plain->settings[0].money.has_value());
}

}  // namespace
}  // namespace corvalith::evaluate
