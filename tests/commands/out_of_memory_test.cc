// Exhausted memory: under a low address-space limit a large forecast fails
// with the reader's failure, leaks nothing and does not abort.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "commands/predict_core.h"
#include "dsp/wa_data.h"
#include "history/draw_history.h"
#include "predict/digit_predictor.h"
#include "tests/support/history_files.h"
#include "text/file_system_path.h"

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
    if (RunPredict(request).status != PredictStatus::ReadFailed) return 4;
    const std::size_t heapBefore = mallinfo2().uordblks;
    std::array<ScopedWAData, 4> series;
    if (LoadDrawHistory(path, series[0].get(), series[1].get(), series[2].get(), series[3].get()) !=
        -5) {
        return 2;
    }
    for (const auto& s : series) {
        if (s.get().samples != nullptr || s.get().count != 0) return 3;
    }
    if (RunPredict(request).status != PredictStatus::ReadFailed) return 4;
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

}  // namespace
}  // namespace corvalith
