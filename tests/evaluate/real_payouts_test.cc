// The money record at the draws' real payouts: a worked record counted by
// hand, chance's line against the average over all 10,000 numbers, which
// amounts a record resolves to, and the simulated p of the amount won.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "evaluate/money_record.h"

namespace corvalith::evaluate {
namespace {

Number4 N(int n) { return DigitsOf(n); }

DrawPayouts Paid(std::optional<std::int64_t> s, std::optional<std::int64_t> b,
                 std::optional<std::int64_t> ss, std::optional<std::int64_t> sb) {
    return {{s, b, ss, sb}};
}

// draw, drawn, pick, hot, paid
std::vector<BetDraw> WorkedDraws() {
    return {
        {1, N(4321), N(1234), N(0), Paid(1'000'000, 40'000, 500'000, 20'000)},
        {2, N(1111), N(1111), N(0), Paid(300'000, {}, {}, {})},  // a quad: no box or set sold
        {3, N(1122), N(1122), N(0), Paid(800'000, 140'000, 470'000, 70'000)},
        {4, N(5678), N(0), N(0), Paid(950'000, 39'000, 490'000, 19'000)},
    };
}

TEST(RealPayouts, WorkedRecordCountedByHand) {
    const std::vector<BetDraw> draws = WorkedDraws();
    struct Case {
        BetType type;
        std::int64_t won;             // the pick at the real amounts
        std::int64_t wonTheoretical;  // and at the theoretical ones
        double expectedWon;           // chance's line: a random ticket each draw
        std::int64_t fixedWon;        // 1234 every draw
    };
    const Case cases[] = {
        // 1111 straight 300,000; 1122 straight 800,000.
        // Chance: (1,000,000 + 300,000 + 800,000 + 950,000) / 10,000.
        {BetType::Straight, 1'100'000, 1'800'000, 305.0, 0},
        // 4321 box 40,000; the quad pick played straight 300,000; 1122 box
        // 140,000. Chance: 40,000 x 24 + 300,000 + 140,000 x 6 + 39,000 x 24.
        {BetType::Box, 480'000, 1'087'500, 303.6, 40'000},
        // 4321 the set's box part 20,000; the quad straight 300,000; 1122
        // the set's straight part 470,000. Chance: (500,000 + 20,000 x 23) +
        // 300,000 + (470,000 + 70,000 x 5) + (490,000 + 19,000 x 23).
        {BetType::Set, 790'000, 1'443'700, 300.7, 20'000},
    };
    for (const Case& c : cases) {
        const MoneyRecord money = RecordMoneyOf(draws, c.type, {PayoutMode::Auto, {}});
        // No payouts given to the amounts: theoretical, and nothing known.
        EXPECT_FALSE(money.amounts.real);
        const std::vector<DrawPayouts> payouts(4, Paid(1, 1, 1, 1));
        const MoneyRecord real = RecordMoneyOf(draws, c.type, {PayoutMode::Auto, payouts});
        ASSERT_TRUE(real.amounts.real) << NameOf(c.type);
        EXPECT_EQ(real.amounts.lacking, 0u);
        EXPECT_EQ(real.pick.line.won, c.won) << NameOf(c.type);
        EXPECT_EQ(real.pick.line.wonTheoretical, c.wonTheoretical) << NameOf(c.type);
        EXPECT_EQ(money.pick.line.won, c.wonTheoretical) << NameOf(c.type);
        EXPECT_NEAR(real.pick.line.expectedWon, c.expectedWon, 1e-9) << NameOf(c.type);
        EXPECT_NEAR(real.pick.line.expectedReturnRate, c.expectedWon / 800.0, 1e-12);
        EXPECT_EQ(real.fixed.line.won, c.fixedWon) << NameOf(c.type);
        EXPECT_EQ(real.hot.line.won, 0);
        EXPECT_EQ(real.pick.line.balance, c.won - 800);
        // Chance's balance line: its winnings so far less the tickets so far.
        ASSERT_EQ(real.expectedBalances.size(), 4u);
        EXPECT_NEAR(real.expectedBalances.back(), c.expectedWon - 800.0, 1e-9);
        // The tally alone counts the same.
        EXPECT_EQ(TallyMoney(draws, c.type, Bettor::Pick, nullptr, true).won, c.won);
    }
}

TEST(RealPayouts, ChanceLineIsTheAverageOverEveryNumber) {
    const BetDraw draws[] = {
        {1, N(4321), {}, {}, Paid(1'000'000, 40'000, 500'000, 20'000)},
        {2, N(1111), {}, {}, Paid(300'000, {}, {}, {})},
        {3, N(1122), {}, {}, Paid(800'000, 140'000, 470'000, 70'000)},
        {4, N(9097), {}, {}, Paid(1'200'000, 99'000, 610'000, 48'000)},
        {5, N(3335), {}, {}, Paid(700'000, 180'000, 440'000, 90'000)},
        {6, N(2468), {}, {}, Paid({}, {}, {}, {})},  // theoretical amounts throughout
    };
    for (const BetDraw& draw : draws) {
        for (const BetType type : kAllBetTypes) {
            std::int64_t total = 0;
            for (int n = 0; n < kNumbers; ++n) {
                total += RealPayoutOf(type, DigitsOf(n), draw.drawn, draw.paid).yen;
            }
            EXPECT_NEAR(ChanceExpectedPayout(type, draw.drawn, draw.paid),
                        static_cast<double>(total) / kNumbers, 1e-9)
                << TextOf(draw.drawn).data() << " " << NameOf(type);
        }
    }
}

TEST(RealPayouts, AutoIsRealOnlyWhenNoEvaluatedDrawLacksAnAmount) {
    const std::vector<BetDraw> draws = WorkedDraws();
    const std::vector<DrawPayouts> some(1, Paid(1, {}, {}, {}));
    const std::vector<DrawPayouts> none(4);
    struct Case {
        PayoutMode mode;
        BetType type;
        std::span<const DrawPayouts> payouts;
        bool real;
        std::size_t lacking;
        bool known;
    };
    // The quad draw lacks only box and set amounts, which no ticket needs.
    const Case cases[] = {
        {PayoutMode::Auto, BetType::Set, some, true, 0, true},
        {PayoutMode::Theoretical, BetType::Set, some, false, 0, true},
        {PayoutMode::Auto, BetType::Box, none, false, 0, false},
        {PayoutMode::Real, BetType::Box, none, true, 0, false},
    };
    for (const Case& c : cases) {
        const AmountsUsed used = ResolveAmounts(draws, c.type, {c.mode, c.payouts});
        EXPECT_EQ(used.real, c.real) << NameOf(c.mode);
        EXPECT_EQ(used.lacking, c.lacking) << NameOf(c.mode);
        EXPECT_EQ(used.known, c.known) << NameOf(c.mode);
    }
    // A draw without its set-box amount: auto falls back; real counts that
    // draw's win at the theoretical amount.
    std::vector<BetDraw> lacking = draws;
    lacking[0].paid[PayoutKind::SetBox].reset();
    const AmountsUsed used = ResolveAmounts(lacking, BetType::Set, {PayoutMode::Auto, some});
    EXPECT_FALSE(used.real);
    EXPECT_EQ(used.lacking, 1u);
    EXPECT_FALSE(ResolveAmounts(lacking, BetType::Straight, {PayoutMode::Auto, some}).lacking);
    const MoneyRecord real = RecordMoneyOf(lacking, BetType::Set, {PayoutMode::Real, some});
    EXPECT_EQ(real.pick.line.won, 18'700 + 300'000 + 470'000);
}

TEST(RealPayouts, AmountPIsTheWinsTailWhenEveryWinPaysAlike) {
    // Straight tickets all paid 900,000: the amount is at least k wins'
    // exactly when the wins are at least k, so the simulated p is the exact
    // tail within the simulation's error (and the same on every run).
    std::vector<BetDraw> draws;
    for (int d = 0; d < 3000; ++d) {
        draws.push_back({d, N(d % 10 == 0 ? 1234 : 5678), N(1234), N(0), {}});
    }
    const MoneyRecord money = RecordMoneyOf(draws, BetType::Straight);
    ASSERT_EQ(money.pick.line.straightWins, 300u);
    EXPECT_EQ(money.pick.line.amountPValue, 1.0 / (1.0 + kAmountSimulations));  // never reached
    // One ticket that wins: the exact tail is its chance, 1 in 10,000.
    const MoneyRecord once = RecordMoneyOf(std::span(draws).first(1), BetType::Straight);
    EXPECT_NEAR(once.pick.line.amountPValue, 1e-4, 3e-4);
    // Many small wins: a box record, its p near the exact tail of its wins.
    std::vector<BetDraw> box;
    for (int d = 0; d < 2000; ++d)
        box.push_back({d, N(d % 400 == 0 ? 4321 : 5678), N(1234), {}, {}});
    const MoneyLine line = RecordMoneyOf(box, BetType::Box).pick.line;
    const double tail =
        PoissonBinomialUpperTail(line.boxWins, std::vector<double>(box.size(), 24e-4));
    EXPECT_NEAR(line.amountPValue, tail, 4.0 * std::sqrt(tail * (1 - tail) / kAmountSimulations));
    EXPECT_EQ(line.amountPValue, RecordMoneyOf(box, BetType::Box).pick.line.amountPValue);
}

}  // namespace
}  // namespace corvalith::evaluate
