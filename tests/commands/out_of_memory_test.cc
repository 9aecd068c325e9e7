// Exhausted memory: under a low address-space limit a large forecast fails
// as out of memory, leaks nothing and does not abort; a failure injected at
// each allocation of a forecast in turn is memory, or "Error" at a position.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "commands/predict_core.h"
#include "dsp/wa_data.h"
#include "history/draw_history.h"
#include "predict/digit_predictor.h"
#include "predict/digit_ranking.h"
#include "tests/support/allocation_failure.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/cp932.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

// Address space in use now, in bytes.
std::size_t AddressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

bool SetSoftAddressLimit(rlim_t bytes) {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0) return false;
    limit.rlim_cur = bytes;
    return setrlimit(RLIMIT_AS, &limit) == 0;
}

// Runs in a child: exit 0 when every check holds, else the number of the failed check.
int CheckUnderLimit(const std::string& path) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(path);
    // One forecast and one failure first, so that what the C and C++ runtimes
    // keep for good (the decoder's loaded table, the unwinder's caches of the
    // first exception) is in place before measuring.
    if (RunPredict(request).status != PredictStatus::Ok) return 8;
    // A million draws need about 40 MB; allow 16 MB above what is in use.
    if (!SetSoftAddressLimit(AddressSpaceInUse() + (16u << 20))) return 1;
    if (RunPredict(request).status != PredictStatus::OutOfMemory) return 4;
    const std::size_t heapBefore = mallinfo2().uordblks;
    std::array<ScopedWAData, 4> series;
    if (LoadDrawHistory(path, series[0].get(), series[1].get(), series[2].get(), series[3].get()) !=
        -5) {
        return 2;
    }
    for (const auto& s : series) {
        if (s.get().samples != nullptr || s.get().count != 0) return 3;
    }
    if (RunPredict(request).status != PredictStatus::OutOfMemory) return 4;
    if (mallinfo2().uordblks != heapBefore) return 5;  // every failure gave everything back
    if (!SetSoftAddressLimit(RLIM_INFINITY)) return 6;
    if (RunPredict(request).status != PredictStatus::Ok) return 7;  // it was only the memory

    // With the series in hand, a predictor that cannot get its working memory
    // answers "Error" for that position.
    if (LoadDrawHistory(path, series[0].get(), series[1].get(), series[2].get(), series[3].get()) !=
        0) {
        return 9;
    }
    Spectrum shared;
    const std::size_t heapLoaded = mallinfo2().uordblks;
    if (!SetSoftAddressLimit(AddressSpaceInUse() + (1u << 20))) return 1;
    for (const std::int32_t kind : {0, 1}) {
        if (PredictDigit(shared, series[0].get(), 0, kind, "x", "", 15) != "Error") return 10;
    }
    if (PredictPowerSpectrumDigit(shared, series[0].get(), "x", "", 15) != "Error") return 11;
    if (mallinfo2().uordblks != heapLoaded) return 12;
    if (!SetSoftAddressLimit(RLIM_INFINITY)) return 6;
    return 0;
}

TEST(OutOfMemory, LargeForecastFailsCleanly) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
    const std::string path = testing::CachedGeneratedHistory(1000000);
    ASSERT_FALSE(path.empty());
    const pid_t child = fork();
    if (child == 0) _exit(CheckUnderLimit(path));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "failed check " << WEXITSTATUS(status);
}

TEST(OutOfMemory, EveryFailedAllocationOfAForecastIsMemoryOrAnError) {
    testing::TempDir dir;
    std::vector<std::string> results;
    for (int i = 0; i < 120; ++i) results.push_back(std::to_string((i * 7919) % 10000));
    PredictRequest request;
    request.historyPath = PathFromFileSystem(dir.Write("h.csv", testing::MakeHistory(results)));
    request.interval = 10;
    request.proposeDrawNumber = true;
    for (const std::int32_t kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        request.filterKind = kind;
        const std::size_t before = testing::AllocationsSoFar();
        const PredictDetail normal = RunPredictDetail(request);
        const std::size_t allocations = testing::AllocationsSoFar() - before;
        ASSERT_EQ(normal.status, PredictStatus::Ok);
        std::size_t memory = 0;
        for (std::size_t n = 1; n <= allocations; ++n) {
            PredictDetail detail;
            {
                const testing::FailingAllocation failure(n);
                detail = RunPredictDetail(request);
                ASSERT_TRUE(failure.Failed()) << n;
            }
            if (detail.status == PredictStatus::OutOfMemory) {
                ++memory;
                EXPECT_TRUE(detail.text.empty()) << n;
                continue;
            }
            // A predictor that could not get its memory says "Error" there;
            // a band-pass design that could not is ignored, as every BPF
            // failure, and that digit's series goes on unfiltered.
            ASSERT_EQ(detail.status, PredictStatus::Ok) << n;
            for (std::size_t p = 0; p < 4; ++p) {
                const PositionForecast& position = detail.positions[p];
                const bool unchanged = position.text == normal.positions[p].text;
                const bool error = position.text == u"Error" && !position.ranked;
                const bool bpfRanking =
                    kind == 1 && position.ranked &&
                    position.text == DecodeCp932Lossy(FormatRanking(position.ranking));
                EXPECT_TRUE(unchanged || error || bpfRanking)
                    << n << "/" << p << ": " << Utf16ToUtf8(position.text);
            }
        }
        EXPECT_GT(memory, 0u);
    }
}

}  // namespace
}  // namespace corvalith
