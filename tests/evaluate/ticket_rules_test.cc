// The ticket rules over all 10,000 numbers: every pattern and box order
// counted by brute force, and each row of the amounts returning 90 yen a
// ticket within the rounding of the published amounts.
#include "evaluate/ticket_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace corvalith::evaluate {
namespace {

// The pattern from the digits' multiplicities, counted without the rules' code.
Pattern CountedPattern(const Number4& n) {
    std::array<int, 10> count{};
    for (const std::uint8_t d : n) ++count[d];
    std::vector<int> m;
    for (const int c : count) {
        if (c > 0) m.push_back(c);
    }
    std::sort(m.rbegin(), m.rend());
    if (m[0] == 4) return Pattern::Quad;
    if (m[0] == 3) return Pattern::Triple;
    if (m[0] == 2) return m[1] == 2 ? Pattern::DoubleDouble : Pattern::Double;
    return Pattern::Single;
}

int SortedKey(Number4 n) {
    std::sort(n.begin(), n.end());
    return NumberOf(n);
}

TEST(TicketRules, PatternAndBoxOrdersOfEveryNumber) {
    std::map<int, int> sameDigits;  // sorted digits -> how many numbers have them
    for (int n = 0; n < kNumbers; ++n) ++sameDigits[SortedKey(DigitsOf(n))];
    std::map<Pattern, int> perPattern;
    for (int n = 0; n < kNumbers; ++n) {
        const Number4 digits = DigitsOf(n);
        ASSERT_EQ(NumberOf(digits), n);
        const Pattern pattern = PatternOf(digits);
        ASSERT_EQ(pattern, CountedPattern(digits)) << n;
        ASSERT_EQ(BoxOrders(pattern), sameDigits[SortedKey(digits)]) << n;
        ++perPattern[pattern];
    }
    // 10 x 9 x 8 x 7 singles, 6 x 10 x 9 x 8 / 2 doubles, 3 x 10 x 9 / 2 double-doubles, ...
    EXPECT_EQ(perPattern[Pattern::Single], 5040);
    EXPECT_EQ(perPattern[Pattern::Double], 4320);
    EXPECT_EQ(perPattern[Pattern::DoubleDouble], 270);
    EXPECT_EQ(perPattern[Pattern::Triple], 360);
    EXPECT_EQ(perPattern[Pattern::Quad], 10);
}

// For every pick of every pattern and every type: the payout summed over the
// 10,000 drawn numbers is the expected payout, the winning numbers are the
// win chance, and the expectation is 90 yen within the rounding of the
// amounts (each amount is rounded down to 100 yen at most).
TEST(TicketRules, EveryRowReturnsNinetyYenATicket) {
    std::map<std::pair<Pattern, BetType>, int> checked;
    for (int pickNumber = 0; pickNumber < kNumbers; ++pickNumber) {
        if (pickNumber % 37 != 0 && pickNumber % 1111 != 0) continue;  // every pattern, quads too
        const Number4 pick = DigitsOf(pickNumber);
        const Pattern pattern = PatternOf(pick);
        const int orders = BoxOrders(pattern);
        for (const BetType type : kAllBetTypes) {
            std::int64_t total = 0;
            int winning = 0;
            for (int n = 0; n < kNumbers; ++n) {
                const Number4 drawn = DigitsOf(n);
                const Payout payout = PayoutOf(type, pick, drawn);
                total += payout.yen;
                winning += payout.yen > 0 ? 1 : 0;
                ASSERT_EQ(payout.yen > 0, payout.win != Win::None);
                if (payout.win == Win::Straight) {
                    ASSERT_EQ(pick, drawn);
                } else if (payout.win == Win::Box && type == BetType::Set) {
                    ASSERT_NE(pick, drawn);  // the set's straight part takes that number
                }
            }
            const double mean = static_cast<double>(total) / kNumbers;
            const bool straight = PlayedAs(type, pick) == BetType::Straight;
            EXPECT_EQ(straight, type == BetType::Straight || pattern == Pattern::Quad);
            EXPECT_EQ(winning, straight ? 1 : orders);
            EXPECT_DOUBLE_EQ(WinChance(type, pick), winning / 10000.0);
            EXPECT_NEAR(ExpectedPayout(type, pick), mean, 1e-9);
            EXPECT_NEAR(mean, 90.0, orders * 100.0 / kNumbers) << pickNumber;
            EXPECT_NEAR(mean / kTicketPrice, 0.45, 0.0015);
            ++checked[{pattern, type}];
        }
    }
    EXPECT_EQ(checked.size(), kPatternAmounts.size() * std::size(kAllBetTypes));
}

TEST(TicketRules, NamesGoBothWays) {
    for (const BetType type : kAllBetTypes) EXPECT_EQ(BetTypeNamed(NameOf(type)), type);
    EXPECT_FALSE(BetTypeNamed("Straight").has_value());
    EXPECT_EQ(std::string(TextOf(DigitsOf(42)).data()), "0042");
}

}  // namespace
}  // namespace corvalith::evaluate
