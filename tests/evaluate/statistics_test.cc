// The statistics against independently computed figures, and their properties.
#include "evaluate/statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>

#include "tests/evaluate/reference.h"

namespace corvalith::evaluate {
namespace {

using testing::ExpectClose;
using testing::StatisticsReference;

TEST(StatisticsReference, MatchesIndependentFigures) {
    const auto& reference = StatisticsReference();
    for (const auto& c : reference.at("wilson")) {
        SCOPED_TRACE(c.dump());
        const Interval interval = WilsonInterval(c.at("hits"), c.at("n"), c.at("z"));
        ExpectClose(interval.low, c.at("low"));
        ExpectClose(interval.high, c.at("high"));
    }
    for (const auto& c : reference.at("binomial_upper")) {
        SCOPED_TRACE(c.dump());
        ExpectClose(BinomialUpperTail(c.at("hits"), c.at("n"), c.at("p")), c.at("value"));
    }
    for (const auto& c : reference.at("binomial_two_sided")) {
        SCOPED_TRACE(c.dump());
        ExpectClose(BinomialTwoSided(c.at("r"), c.at("n"), c.at("p")), c.at("value"));
    }
    for (const auto& c : reference.at("chi_square_upper")) {
        SCOPED_TRACE(c.dump());
        ExpectClose(ChiSquareUpperTail(c.at("chi2"), c.at("df")), c.at("value"));
    }
    for (const auto& c : reference.at("holm")) {
        SCOPED_TRACE(c.dump());
        const std::vector<double> adjusted = HolmAdjust(c.at("p").get<std::vector<double>>());
        const auto expected = c.at("adjusted").get<std::vector<double>>();
        ASSERT_EQ(adjusted.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) ExpectClose(adjusted[i], expected[i]);
    }
}

TEST(StatisticsProperties, WilsonIntervalHoldsTheRateWithinZeroAndOne) {
    EXPECT_EQ(WilsonInterval(0, 0).low, 0.0);
    EXPECT_EQ(WilsonInterval(0, 0).high, 1.0);
    for (const std::uint64_t n : {1u, 2u, 7u, 100u, 7054u}) {
        for (std::uint64_t hits = 0; hits <= n; hits += 1 + n / 50) {
            SCOPED_TRACE(std::to_string(hits) + "/" + std::to_string(n));
            const double rate = static_cast<double>(hits) / static_cast<double>(n);
            const Interval wide = WilsonInterval(hits, n, 3.0);
            const Interval narrow = WilsonInterval(hits, n, 1.0);
            EXPECT_LE(0.0, wide.low);
            EXPECT_LE(wide.low, narrow.low);
            EXPECT_LE(narrow.low, rate);
            EXPECT_LE(rate, narrow.high);
            EXPECT_LE(narrow.high, wide.high);
            EXPECT_LE(wide.high, 1.0);
        }
    }
}

TEST(StatisticsProperties, HolmAdjustedLiesBetweenRawAndOneInSortedOrder) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(0.0, 0.2);
    std::vector<double> p(60);
    for (double& value : p) value = uniform(random);
    p[5] = p[17] = p[40];  // ties
    const std::vector<double> adjusted = HolmAdjust(p);
    std::vector<std::size_t> order(p.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](auto a, auto b) { return p[a] < p[b]; });
    for (std::size_t k = 0; k < order.size(); ++k) {
        EXPECT_GE(adjusted[order[k]], p[order[k]]);
        EXPECT_LE(adjusted[order[k]], 1.0);
        if (k > 0) {
            EXPECT_GE(adjusted[order[k]], adjusted[order[k - 1]]);
        }
    }
    EXPECT_EQ(adjusted[5], adjusted[40]);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> withNan = HolmAdjust(std::vector<double>{0.01, nan, 0.02});
    EXPECT_DOUBLE_EQ(withNan[0], 0.03);  // the NaN still counts as a test
    EXPECT_TRUE(std::isnan(withNan[1]));
    EXPECT_DOUBLE_EQ(withNan[2], 0.04);
}

TEST(StatisticsProperties, EdgesAndInvalidArguments) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    for (const double p : {-0.1, 1.5, nan}) {
        EXPECT_TRUE(std::isnan(BinomialUpperTail(1, 10, p)));
        EXPECT_TRUE(std::isnan(BinomialTwoSided(1, 10, p)));
    }
    EXPECT_EQ(BinomialTwoSided(3, 10, 0.0), 0.0);  // X is always 0
    EXPECT_EQ(BinomialTwoSided(3, 10, 1.0), 0.0);  // X is always 10
    EXPECT_EQ(BinomialTwoSided(10, 10, 1.0), 1.0);
    EXPECT_EQ(ChiSquareUpperTail(-1.0, 9), 1.0);
    EXPECT_EQ(ChiSquareUpperTail(5.0, 0), 0.0);
    EXPECT_EQ(ChiSquareUpperTail(infinity, 9), 0.0);
    EXPECT_TRUE(std::isnan(ChiSquareUpperTail(nan, 9)));
}

}  // namespace
}  // namespace corvalith::evaluate
