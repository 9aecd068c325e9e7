// The classes of a number, the class table's sums, and the walk-forward
// estimate: it finds the ratios it is given and never uses the draw it
// estimates or any after it.
#include "evaluate/payout_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "evaluate/bet_draws.h"

namespace corvalith::evaluate {
namespace {

Number4 N(int n) { return DigitsOf(n); }

TEST(PayoutClasses, ClassesOfNumbers) {
    struct Case {
        int number;
        Pattern pattern;
        bool date;
        bool run;
    };
    const Case cases[] = {
        {1224, Pattern::Double, true, false},        {715, Pattern::Single, true, false},
        {229, Pattern::Double, true, false},         {230, Pattern::Double, false, false},
        {1231, Pattern::Double, true, false},        {1301, Pattern::Double, false, false},
        {1100, Pattern::DoubleDouble, false, false}, {0, Pattern::Quad, false, false},
        {1234, Pattern::Single, false, true},        {9876, Pattern::Single, false, true},
        {123, Pattern::Single, true, true},          {8901, Pattern::Single, false, false},
        {1112, Pattern::Triple, true, false},        {2468, Pattern::Single, false, false},
    };
    for (const Case& c : cases) {
        const NumberClasses classes = ClassesOf(N(c.number), {});
        EXPECT_EQ(classes.pattern, c.pattern) << c.number;
        EXPECT_EQ(classes.date, c.date) << c.number;
        EXPECT_EQ(classes.run, c.run) << c.number;
        EXPECT_FALSE(classes.recent);
    }
    // Recent: among the last kRecentDraws draws only.
    std::vector<Number4> before(kRecentDraws + 1, N(5555));
    before.front() = N(1234);
    EXPECT_FALSE(ClassesOf(N(1234), before).recent);
    before[1] = N(1234);
    EXPECT_TRUE(ClassesOf(N(1234), before).recent);
}

TEST(PayoutClasses, TableSumsEachClassAndHalf) {
    // Four draws: 1224 (date) at 0.5, 1234 (run) at 1.5, 5679 at 1.0, 1224 again (recent) at 0.7.
    DrawTable table;
    const int drawn[] = {1224, 1234, 5679, 1224};
    std::vector<DrawPayouts> payouts;
    const std::int64_t straight[] = {450'000, 1'350'000, 900'000, 630'000};
    for (std::size_t j = 0; j < 4; ++j) {
        table.numbers.push_back(static_cast<std::int32_t>(j + 1));
        for (std::size_t p = 0; p < 4; ++p) table.values[p].push_back(N(drawn[j])[p]);
        DrawPayouts paid;
        paid[PayoutKind::Straight] = straight[j];
        payouts.push_back(paid);
    }
    const std::vector<PaidDraw> draws = PaidDraws(table, payouts);
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_TRUE(draws[3].classes.recent);
    const std::vector<ClassRow> rows = ClassTable(draws);
    const auto row = [&rows](ClassKind kind, int value) {
        for (const ClassRow& r : rows) {
            if (r.kind == kind && r.value == value) return r;
        }
        return ClassRow{};
    };
    EXPECT_EQ(row(ClassKind::All, 0).straight.count, 4u);
    EXPECT_NEAR(row(ClassKind::All, 0).straight.mean, (0.5 + 1.5 + 1.0 + 0.7) / 4, 1e-12);
    EXPECT_NEAR(row(ClassKind::Date, 1).straight.mean, 0.6, 1e-12);
    EXPECT_NEAR(row(ClassKind::Run, 1).straight.mean, 1.5, 1e-12);
    EXPECT_EQ(row(ClassKind::Recent, 1).straight.count, 1u);
    EXPECT_EQ(row(ClassKind::All, 0).box.count, 0u);
    EXPECT_NEAR(row(ClassKind::All, 0).firstHalf.mean, 1.0, 1e-12);
    EXPECT_NEAR(row(ClassKind::All, 0).secondHalf.mean, 0.85, 1e-12);
    EXPECT_NEAR(row(ClassKind::Date, 1).firstHalf.mean, 0.5, 1e-12);
    // mean 0.6, sd 0.1414, 1.96 x sd / sqrt(2).
    const RatioSummary date = row(ClassKind::Date, 1).straight;
    EXPECT_NEAR(date.high - date.mean, 1.959963984540054 * std::sqrt(0.02) / std::sqrt(2.0), 1e-9);
}

// Random draws whose log ratio is 0.1 - 0.5 x date - 1.2 x quad + noise.
std::vector<PaidDraw> Synthetic(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<PaidDraw> draws;
    std::vector<Number4> before;
    for (std::size_t j = 0; j < count; ++j) {
        // One draw in five a date, one in twenty a quad.
        Number4 drawn = DigitsOf(static_cast<int>(random() % 10000));
        if (j % 5 == 0) drawn = N(1000 + static_cast<int>(j % 28) + 1);
        if (j % 20 == 7) drawn = N(1111 * static_cast<int>(random() % 10));
        PaidDraw draw;
        draw.draw = static_cast<std::int32_t>(j + 1);
        draw.drawn = drawn;
        draw.classes = ClassesOf(drawn, before);
        const double log = 0.1 - 0.5 * (draw.classes.date ? 1 : 0) -
                           1.2 * (draw.classes.pattern == Pattern::Quad ? 1 : 0) + noise(random);
        draw.straightRatio = std::exp(log);
        draws.push_back(draw);
        before.push_back(drawn);
    }
    return draws;
}

TEST(PayoutModel, FindsTheRatiosItIsGivenAndBeatsTheMean) {
    const std::vector<PaidDraw> draws = Synthetic(2000, 3);
    const PayoutWalkForward run = WalkForwardPayouts(draws);
    ASSERT_TRUE(run.last);
    EXPECT_NEAR(run.last->coefficients[0], 0.1, 0.01);
    EXPECT_NEAR(run.last->coefficients[4], -1.2, 0.03);  // quad
    EXPECT_NEAR(run.last->coefficients[5], -0.5, 0.01);  // date
    EXPECT_NEAR(run.last->sigma, 0.05, 0.005);
    EXPECT_EQ(run.evaluated, draws.size() - kModelMinimumDraws);
    EXPECT_LT(run.modelError, run.baselineError);
    const PayoutEstimate date = EstimateWith(*run.last, ClassesOf(N(1224), {}));
    EXPECT_NEAR(date.ratio, std::exp(-0.4), 0.01);
    EXPECT_LT(date.low, date.ratio);
    EXPECT_GT(date.high, date.ratio);
    // Too few draws: nothing estimated.
    EXPECT_EQ(WalkForwardPayouts(std::span(draws).first(kModelMinimumDraws)).evaluated, 0u);
}

TEST(PayoutModel, NeverUsesTheDrawItEstimatesOrALaterOne) {
    const std::vector<PaidDraw> draws = Synthetic(400, 5);
    const PayoutWalkForward run = WalkForwardPayouts(draws);
    for (const std::size_t changed :
         {std::size_t{kModelMinimumDraws}, std::size_t{200}, std::size_t{399}}) {
        std::vector<PaidDraw> other = draws;
        other[changed].straightRatio = 25.0;
        const PayoutWalkForward moved = WalkForwardPayouts(other);
        for (std::size_t j = 0; j <= changed; ++j) {
            ASSERT_EQ(moved.estimates[j], run.estimates[j])
                << "draw " << j << ", changed " << changed;
        }
        if (changed + 1 < draws.size()) {
            EXPECT_NE(moved.estimates[changed + 1], run.estimates[changed + 1]);
        }
    }
}

TEST(PayoutModel, PayoutPickIsTheHighestEstimateFromEarlierDrawsOnly) {
    // Dates pay half: between 1224 (the pick, a date) and 1294 (its
    // second digit in the third place), the payout pick is 1294.
    const std::vector<PaidDraw> paid = Synthetic(400, 7);
    std::vector<BetDraw> draws;
    for (const std::int32_t at : {10, 200, 300, 401}) {
        BetDraw draw;
        draw.draw = at;
        draw.pick = N(1224);
        draw.second = N(1294);
        draws.push_back(draw);
    }
    detail::ChoosePayoutPicks(draws, paid);
    EXPECT_EQ(draws[0].payoutPick, N(1224));  // too few draws before it: the pick
    for (std::size_t d = 1; d < draws.size(); ++d) EXPECT_EQ(draws[d].payoutPick, N(1294)) << d;
    // Dates paying four times as much from draw 250 on: the choices before
    // it stay, the ones after move.
    std::vector<PaidDraw> changed = paid;
    for (std::size_t j = 250; j < changed.size(); ++j) {
        if (changed[j].classes.date) changed[j].straightRatio = *changed[j].straightRatio * 40.0;
    }
    std::vector<BetDraw> again = draws;
    detail::ChoosePayoutPicks(again, changed);
    EXPECT_EQ(again[1].payoutPick, N(1294));
    EXPECT_EQ(again[3].payoutPick, N(1224));
}

}  // namespace
}  // namespace corvalith::evaluate
