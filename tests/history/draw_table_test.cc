// LoadDrawTable against LoadDrawHistory (the same values from the same
// files, the same refusals) and the draw numbers it keeps; FindOrderViolation.
#include "history/draw_table.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>
#include <vector>

#include "dsp/status.h"
#include "dsp/wa_data.h"
#include "history/draw_history.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::MakeHistory;
using testing::TempDir;
using testing::ToCp932;

// The four series LoadDrawHistory gives, or nothing when it refuses the file.
std::optional<std::array<std::vector<double>, 4>> HistoryValues(const std::string& path) {
    std::array<ScopedWAData, 4> records;
    if (LoadDrawHistory(path, records[0].get(), records[1].get(), records[2].get(),
                        records[3].get()) != kOk) {
        return std::nullopt;
    }
    std::array<std::vector<double>, 4> values;
    for (std::size_t p = 0; p < 4; ++p) {
        const WAData& r = records[p].get();
        if (r.count != 0) values[p].assign(r.samples, r.samples + r.count);
    }
    return values;
}

void ExpectSameAsHistoryReader(const std::string& path) {
    const auto expected = HistoryValues(path);
    ASSERT_TRUE(expected.has_value()) << path;
    DrawTable table;
    ASSERT_EQ(LoadDrawTable(path, table), kOk) << path;
    EXPECT_EQ(table.size(), (*expected)[0].size());
    for (std::size_t p = 0; p < 4; ++p) EXPECT_EQ(table.values[p], (*expected)[p]) << p;
}

TEST(LoadDrawTable, GivesLoadDrawHistorysValuesOnTheSampleAndTheRealHistory) {
    ExpectSameAsHistoryReader(testing::SampleHistoryPath());
    DrawTable sample;
    ASSERT_EQ(LoadDrawTable(testing::SampleHistoryPath(), sample), kOk);
    ASSERT_GT(sample.size(), 1000u);
    // The sample numbers its draws 第1回, 第2回, ... in file order.
    for (std::size_t i = 0; i < sample.size(); ++i) {
        ASSERT_EQ(sample.numbers[i], static_cast<std::int32_t>(i + 1));
    }
    if (testing::RealHistoryPath().empty()) GTEST_SKIP() << "no real history";
    ExpectSameAsHistoryReader(testing::RealHistoryPath());
}

TEST(LoadDrawTable, KeepsTheDrawNumbersAndTheNonDigitValuesOfOddLines) {
    TempDir dir;
    const std::string path =
        dir.Write("odd.csv", ToCp932("h\n"
                                     "第 12 回,2001/5/7,a,0487,b\n"
                                     "\"第-3回\",\"2001/5/8\",\"a,b\",\"91\",\"\"\n"
                                     "第\t+2147483647回,2001/5/9,a,12 4,b,c\n"
                                     "第7号回,2001/5/10,a,12345,b\n"));
    ExpectSameAsHistoryReader(path);
    DrawTable table;
    ASSERT_EQ(LoadDrawTable(path, table), kOk);
    EXPECT_EQ(table.numbers, (std::vector<std::int32_t>{12, -3, 2147483647, 7}));
    EXPECT_EQ(table.values[0], (std::vector<double>{0, 0, 1, 1}));
    EXPECT_EQ(table.values[1], (std::vector<double>{4, 0, 2, 2}));
    EXPECT_EQ(table.values[2], (std::vector<double>{8, 9, ' ' - '0', 3}));
    EXPECT_EQ(table.values[3], (std::vector<double>{7, 1, 4, 4}));
}

TEST(LoadDrawTable, RefusesWhatLoadDrawHistoryRefusesAndLeavesTheTableAlone) {
    TempDir dir;
    const std::vector<std::string> refused = {
        "",
        ToCp932("h\n第1回,2001/5/7,a,0487\n"),
        ToCp932("h\n第1回,2001/5/7,a,0487,b\n第2147483648回,2001/5/8,a,1,b\n"),
        ToCp932("h\n第1回,2001/5/7,a,0487,b\n第2回,2001-5-8,a,1,b\n"),
        ToCp932("h\n第1回,2001/5/7,a,0487,b\n\n"),
        "h\n\xE7\xAC\xAC"
        "1\xE5\x9B\x9E,2001/5/7,a,0487,b\n",  // UTF-8, not code page 932
    };
    for (std::size_t i = 0; i < refused.size(); ++i) {
        const std::string path = dir.Write("bad" + std::to_string(i) + ".csv", refused[i]);
        EXPECT_FALSE(HistoryValues(path).has_value()) << i;
        DrawTable table;
        table.numbers = {42};
        table.values[2] = {3.0};
        EXPECT_EQ(LoadDrawTable(path, table), kHistoryUnreadable) << i;
        EXPECT_EQ(table.numbers, std::vector<std::int32_t>{42});
        EXPECT_EQ(table.values[2], std::vector<double>{3.0});
    }
    DrawTable table;
    EXPECT_EQ(LoadDrawTable(dir.File("missing.csv"), table), kHistoryUnreadable);
    EXPECT_EQ(LoadDrawTable(dir.path(), table), kHistoryUnreadable);
}

TEST(LoadDrawTable, AcceptsAHeaderAloneAsNoDraws) {
    TempDir dir;
    DrawTable table;
    table.numbers = {1};
    ASSERT_EQ(LoadDrawTable(dir.Write("h.csv", "header\n"), table), kOk);
    EXPECT_EQ(table.size(), 0u);
    for (const auto& values : table.values) EXPECT_TRUE(values.empty());
}

TEST(FindOrderViolation, FindsTheFirstDrawNotAboveTheOneBefore) {
    DrawTable table;
    EXPECT_FALSE(FindOrderViolation(table).has_value());
    table.numbers = {5};
    EXPECT_FALSE(FindOrderViolation(table).has_value());
    table.numbers = {-3, 1, 2, 10, 11};
    EXPECT_FALSE(FindOrderViolation(table).has_value());

    table.numbers = {1, 2, 3, 3, 2};  // a repeat on the 4th draw line (file line 5)
    auto violation = FindOrderViolation(table);
    ASSERT_TRUE(violation.has_value());
    EXPECT_EQ(violation->line, 5u);
    EXPECT_EQ(violation->previous, 3);
    EXPECT_EQ(violation->current, 3);

    table.numbers = {9, 4};  // descending at once: the second draw line is file line 3
    violation = FindOrderViolation(table);
    ASSERT_TRUE(violation.has_value());
    EXPECT_EQ(violation->line, 3u);
    EXPECT_EQ(violation->previous, 9);
    EXPECT_EQ(violation->current, 4);
}

TEST(FindOrderViolation, NamesTheLineOfAFileWhoseNumbersGoBack) {
    TempDir dir;
    const std::string path =
        dir.Write("back.csv", ToCp932("h\n第1回,2001/5/7,a,1,b\n第2回,2001/5/8,a,2,b\n"
                                      "第3回,2001/5/9,a,3,b\n第2回,2001/5/10,a,4,b\n"));
    DrawTable table;
    ASSERT_EQ(LoadDrawTable(path, table), kOk);
    const auto violation = FindOrderViolation(table);
    ASSERT_TRUE(violation.has_value());
    EXPECT_EQ(violation->line, 5u);  // header, then draws on lines 2, 3, 4, 5
    EXPECT_EQ(violation->previous, 3);
    EXPECT_EQ(violation->current, 2);

    DrawTable ordered;
    ASSERT_EQ(LoadDrawTable(dir.Write("ok.csv", MakeHistory({"1", "2", "3"}, 7)), ordered), kOk);
    EXPECT_EQ(ordered.numbers, (std::vector<std::int32_t>{7, 8, 9}));
    EXPECT_FALSE(FindOrderViolation(ordered).has_value());
}

}  // namespace
}  // namespace corvalith
