// How soon each analysis ends once its cancel flag is set, on a generated
// 100,000-draw history: the run starts on a thread, the flag is set after
// `delay` ms, and the time from the flag to the run's return is measured.
// The target is 100 ms for every tab and delay.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "commands/analysis_results.h"

namespace {

using namespace corvalith;
using Clock = std::chrono::steady_clock;

const std::string& HundredThousandDrawHistory() {
    static const std::string path = [] {
        const std::string dir = CORVALITH_BENCH_DATA;
        const std::string file = dir + "/history-100000.csv";
        if (!std::filesystem::exists(file)) {
            std::filesystem::create_directories(dir);
            const std::string command = std::string("python3 '") + CORVALITH_GENERATOR +
                                        "' --draws 100000 --seed 7 --output '" + file + "'";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        return file;
    }();
    return path;
}

void BM_CancelLatency(benchmark::State& state, AnalysisTab tab) {
    AnalysisInputs inputs;
    inputs.path = HundredThousandDrawHistory();
    inputs.interval = 10;
    const auto delay = std::chrono::milliseconds(state.range(0));
    double worst = 0;
    for (auto _ : state) {
        std::atomic<bool> cancel{false};
        std::atomic<bool> ended{false};
        Clock::time_point returned;
        std::thread run([&] {
            evaluate::RunControl control;
            control.cancel = &cancel;
            benchmark::DoNotOptimize(ComputeAnalysis(tab, inputs, control));
            returned = Clock::now();
            ended.store(true);
        });
        std::this_thread::sleep_for(delay);
        const Clock::time_point set = Clock::now();
        cancel.store(true);
        run.join();
        // A run that ended before the flag counts as 0.
        const double seconds =
            returned > set ? std::chrono::duration<double>(returned - set).count() : 0.0;
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_ms"] = worst * 1000;
}

#define CANCEL_BENCH(name, tab)                    \
    BENCHMARK_CAPTURE(BM_CancelLatency, name, tab) \
        ->Arg(5)                                   \
        ->Arg(50)                                  \
        ->Arg(300)                                 \
        ->Iterations(5)                            \
        ->UseManualTime()                          \
        ->Unit(benchmark::kMillisecond)
CANCEL_BENCH(detail, AnalysisTab::Detail);
CANCEL_BENCH(verify, AnalysisTab::Verify);
CANCEL_BENCH(sweep, AnalysisTab::Sweep);
CANCEL_BENCH(randomness, AnalysisTab::Randomness);

}  // namespace

BENCHMARK_MAIN();
