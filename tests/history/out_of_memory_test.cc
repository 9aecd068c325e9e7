// Exhausted memory in the reader, injected at every allocation of a load in
// turn: the loaders that tell it apart say -2, the specified reader -5, and
// none changes what it was given.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dsp/status.h"
#include "dsp/wa_data.h"
#include "history/draw_history.h"
#include "history/draw_table.h"
#include "tests/support/allocation_failure.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

TEST(HistoryOutOfMemory, EveryFailedAllocationIsMemoryAndChangesNothing) {
    testing::TempDir dir;
    std::vector<std::string> results;
    for (int i = 0; i < 40; ++i) results.push_back(std::to_string(1000 + i * 211));
    const std::string path = dir.Write("h.csv", testing::MakeHistory(results, 7));

    // What the loaders are given: one value per record, one draw in the table.
    std::array<ScopedWAData, 4> records;
    std::array<const double*, 4> given{};
    DrawTable table;
    const auto give = [&] {
        for (std::size_t p = 0; p < 4; ++p) {
            ReplaceSamples(records[p].get(), std::make_unique<double[]>(1));
            records[p].get().count = 1;
            given[p] = records[p].get().samples;
        }
        table.numbers = {3};
        for (auto& values : table.values) values = {9.0};
    };
    const auto unchanged = [&] {
        for (std::size_t p = 0; p < 4; ++p) {
            if (records[p].get().samples != given[p] || records[p].get().count != 1) return false;
        }
        return table.numbers == std::vector<std::int32_t>{3} && table.values[0].size() == 1;
    };

    struct Loader {
        const char* name;
        std::function<int()> load;
        int memoryStatus;
    };
    const Loader loaders[] = {
        {"LoadDrawTable", [&] { return LoadDrawTable(path, table); }, kOutOfMemory},
        {"LoadDrawHistoryWithin",
         [&] {
             return LoadDrawHistoryWithin(kHistoryLimits, path, records[0].get(), records[1].get(),
                                          records[2].get(), records[3].get());
         },
         kOutOfMemory},
        {"LoadDrawHistory",
         [&] {
             return LoadDrawHistory(path, records[0].get(), records[1].get(), records[2].get(),
                                    records[3].get());
         },
         kHistoryUnreadable},
    };
    for (const Loader& loader : loaders) {
        SCOPED_TRACE(loader.name);
        give();
        const std::size_t before = testing::AllocationsSoFar();
        ASSERT_EQ(loader.load(), kOk);
        const std::size_t allocations = testing::AllocationsSoFar() - before;
        ASSERT_GT(allocations, 4u);
        for (std::size_t n = 1; n <= allocations; ++n) {
            give();
            int status = kOk;
            bool failed = false;
            {
                const testing::FailingAllocation failure(n);
                status = loader.load();
                failed = failure.Failed();
            }
            ASSERT_TRUE(failed) << "allocation " << n;
            ASSERT_EQ(status, loader.memoryStatus) << "allocation " << n;
            ASSERT_TRUE(unchanged()) << "allocation " << n;
        }
    }
}

}  // namespace
}  // namespace corvalith
