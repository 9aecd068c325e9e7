// The load's progress: the bytes read rise to the file's size, the table is
// the one read without progress, and a progress that answers false stops the
// load as a failure that leaves the table untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dsp/status.h"
#include "history/draw_table.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::MakeHistory;
using testing::TempDir;

std::vector<std::string> Results(std::size_t draws) {
    std::vector<std::string> results;
    for (std::size_t i = 0; i < draws; ++i) {
        results.push_back(std::to_string(1000 + (i * 7919) % 9000));
    }
    return results;
}

TEST(LoadProgress, BytesReadRiseToTheFileSizeAndTheTableIsTheSame) {
    TempDir dir;
    for (const std::size_t draws : {1u, 500u, 20000u}) {
        SCOPED_TRACE(draws);
        const std::string text = MakeHistory(Results(draws));
        const std::string path = dir.Write("history.csv", text);
        std::vector<std::size_t> reads;
        std::size_t size = 0;
        DrawTable reported;
        ASSERT_EQ(LoadDrawTable(path, reported,
                                [&](std::size_t read, std::size_t total) {
                                    reads.push_back(read);
                                    size = total;
                                    return true;
                                }),
                  kOk);
        DrawTable plain;
        ASSERT_EQ(LoadDrawTable(path, plain), kOk);
        EXPECT_EQ(reported.numbers, plain.numbers);
        EXPECT_EQ(reported.values, plain.values);
        ASSERT_FALSE(reads.empty());
        EXPECT_TRUE(std::is_sorted(reads.begin(), reads.end()));
        EXPECT_EQ(std::adjacent_find(reads.begin(), reads.end()), reads.end());  // each once
        EXPECT_EQ(reads.back(), text.size());
        EXPECT_EQ(size, text.size());
        // A long file is heard from before its end, a chunk at a time.
        if (text.size() > 64 * 1024) {
            EXPECT_GT(reads.size(), text.size() / (32 * 1024));
        }
    }
}

TEST(LoadProgress, AnsweringFalseStopsTheLoadAndLeavesTheTable) {
    TempDir dir;
    const std::string path = dir.Write("history.csv", MakeHistory(Results(20000)));
    DrawTable table;
    table.numbers = {42};
    int calls = 0;
    EXPECT_EQ(LoadDrawTable(path, table,
                            [&calls](std::size_t, std::size_t) {
                                ++calls;
                                return calls < 3;
                            }),
              kHistoryUnreadable);
    EXPECT_EQ(calls, 3);  // no call after the one that stopped it
    EXPECT_EQ(table.numbers, std::vector<std::int32_t>{42});
}

}  // namespace
}  // namespace corvalith
