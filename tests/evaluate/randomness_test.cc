// The randomness tests against independently computed figures (small tables
// and the bundled sample history), and their behaviour on made-up histories.
#include "evaluate/randomness.h"

#include <gtest/gtest.h>

#include "dsp/wa_data.h"
#include "history/draw_history.h"
#include "tests/evaluate/reference.h"
#include "tests/support/history_files.h"

namespace corvalith::evaluate {
namespace {

using nlohmann::json;
using testing::ExpectClose;

DrawTable MakeTable(const std::array<std::vector<double>, kPositionCount>& values) {
    DrawTable table;
    table.values = values;
    for (std::size_t i = 0; i < values[0].size(); ++i) {
        table.numbers.push_back(static_cast<std::int32_t>(i + 1));
    }
    return table;
}

void ExpectTest(const ChiSquareTest& test, const json& expected) {
    ExpectClose(test.chi2, expected.at("chi2"));
    EXPECT_EQ(test.df, expected.at("df").get<int>());
    ExpectClose(test.pValue, expected.at("p"));
}

void ExpectResult(const RandomnessResult& result, const json& expected) {
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        SCOPED_TRACE("position " + std::to_string(p));
        const PositionRandomness& position = result.positions[p];
        const json& want = expected.at("positions").at(p);
        EXPECT_EQ(std::vector<std::uint64_t>(position.counts.begin(), position.counts.end()),
                  want.at("counts").get<std::vector<std::uint64_t>>());
        ExpectTest(position.frequency, want.at("frequency"));
        EXPECT_EQ(position.serialPairs, want.at("serial_pairs").get<std::uint64_t>());
        ExpectTest(position.serial, want.at("serial"));
        EXPECT_EQ(position.repeatTrials, want.at("repeat_trials").get<std::uint64_t>());
        EXPECT_EQ(position.repeats, want.at("repeats").get<std::uint64_t>());
        ExpectClose(position.repeatPValue, want.at("repeat_p"));
    }
    for (std::size_t k = 0; k < result.pairs.size(); ++k) {
        SCOPED_TRACE("pair " + std::to_string(k));
        const json& want = expected.at("pairs").at(k);
        EXPECT_EQ(
            (std::vector<std::size_t>{result.pairs[k].positions[0], result.pairs[k].positions[1]}),
            want.at("positions").get<std::vector<std::size_t>>());
        ExpectTest(result.pairs[k].test, want.at("test"));
    }
}

TEST(RandomnessReference, SmallTablesMatch) {
    for (const json& table : testing::StatisticsReference().at("randomness_tables")) {
        SCOPED_TRACE(table.at("name").get<std::string>());
        const auto values = table.at("values").get<std::array<std::vector<double>, 4>>();
        ExpectResult(TestRandomness(MakeTable(values)), table.at("result"));
    }
}

TEST(RandomnessReference, SampleHistoryMatches) {
    WAData series[kPositionCount] = {};
    ASSERT_EQ(
        LoadDrawHistory(testing::SampleHistoryPath(), series[0], series[1], series[2], series[3]),
        0);
    std::array<std::vector<double>, kPositionCount> values;
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        values[p].assign(series[p].samples, series[p].samples + series[p].count);
        ReleaseSamples(series[p]);
    }
    ExpectResult(TestRandomness(MakeTable(values)),
                 testing::StatisticsReference().at("sample_history"));
}

TEST(RandomnessProperties, UniformTablesGiveChiSquareZero) {
    // Draw i's digits a, b, c and (a + b + c) mod 10: every pair of positions
    // meets every pair of digits ten times.
    std::array<std::vector<double>, kPositionCount> values;
    for (int i = 0; i < 1000; ++i) {
        const int a = i / 100, b = i / 10 % 10, c = i % 10;
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            values[p].push_back(std::array{a, b, c, (a + b + c) % 10}[p]);
        }
    }
    const RandomnessResult uniform = TestRandomness(MakeTable(values));
    for (const auto& position : uniform.positions) EXPECT_EQ(position.frequency.chi2, 0.0);
    for (const auto& pair : uniform.pairs) {
        EXPECT_EQ(pair.test.chi2, 0.0);
        EXPECT_EQ(pair.test.pValue, 1.0);
    }

    // Every one of the 100 ordered pairs once, as non-overlapping pairs.
    std::vector<double> pairs;
    for (int k = 0; k < 100; ++k) pairs.insert(pairs.end(), {k / 10 * 1.0, k % 10 * 1.0});
    const PositionRandomness serial =
        TestRandomness(MakeTable({pairs, pairs, pairs, pairs})).positions[0];
    EXPECT_EQ(serial.serialPairs, 100u);
    EXPECT_EQ(serial.serial.chi2, 0.0);
    EXPECT_EQ(serial.serial.pValue, 1.0);
}

TEST(RandomnessProperties, ConstantAndPeriodicHistoriesAreFarFromChance) {
    const std::vector<double> constant(1000, 7.0);
    const PositionRandomness same =
        TestRandomness(MakeTable({constant, constant, constant, constant})).positions[0];
    EXPECT_EQ(same.counts[7], 1000u);
    EXPECT_LT(same.frequency.pValue, 1e-100);
    EXPECT_LT(same.serial.pValue, 1e-100);
    EXPECT_EQ(same.repeats, 999u);
    EXPECT_LT(same.repeatPValue, 1e-300);

    std::vector<double> cycle;  // 0, 1, ..., 9, 0, 1, ...
    for (int i = 0; i < 1000; ++i) cycle.push_back(i % 10);
    const PositionRandomness periodic =
        TestRandomness(MakeTable({cycle, cycle, cycle, cycle})).positions[0];
    EXPECT_EQ(periodic.frequency.chi2, 0.0);
    EXPECT_DOUBLE_EQ(periodic.serial.chi2, 9500.0);  // 500 pairs in 5 of 100 cells
    EXPECT_LT(periodic.serial.pValue, 1e-100);
    EXPECT_EQ(periodic.repeatTrials, 999u);
    EXPECT_EQ(periodic.repeats, 0u);
    EXPECT_LT(periodic.repeatPValue, 1e-40);  // 2 * 0.9^999
}

TEST(RandomnessProperties, NonDigitsAreLeftOutAndNeverRepeat) {
    const std::vector<double> letters(20, 17.0);  // 'A'
    const PositionRandomness none =
        TestRandomness(MakeTable({letters, letters, letters, letters})).positions[0];
    EXPECT_EQ(none.counts, (std::array<std::uint64_t, 10>{}));
    EXPECT_EQ(none.frequency.pValue, 1.0);
    EXPECT_EQ(none.serialPairs, 0u);
    EXPECT_EQ(none.repeatTrials, 19u);
    EXPECT_EQ(none.repeats, 0u);
}

}  // namespace
}  // namespace corvalith::evaluate
