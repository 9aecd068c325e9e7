// Speed and memory of the walk-forward evaluation: one backtest of the real
// history (the bundled sample when it is absent) per setting, the sweep of
// all 63 settings with 1 and 2 threads, the same with a money record
// (backtest --bet within 10 % of the backtest; sweep --bet with 2 threads
// under 0.5 s on the real history), the money record alone from the
// window's draw-by-draw record, and the peak memory of a fresh
// process that reads a 1,000,000-draw history and sweeps its last draws.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/bench_data.h"
#include "evaluate/backtest.h"
#include "evaluate/backtest_record.h"
#include "evaluate/money_record.h"
#include "evaluate/sweep.h"
#include "history/draw_table.h"

namespace {

using corvalith::DrawTable;
using corvalith::FftPlacement;
using corvalith::FilterKind;
namespace evaluate = corvalith::evaluate;

const DrawTable& History() {
    static const DrawTable table = [] {
        DrawTable loaded;
        const std::string real = CORVALITH_REAL_HISTORY;
        const std::string path =
            std::filesystem::exists(real) ? real : std::string(CORVALITH_SAMPLE_HISTORY);
        if (corvalith::LoadDrawTable(path, loaded) != 0) std::abort();
        std::fprintf(stderr, "history: %s (%zu draws)\n", path.c_str(), loaded.size());
        return loaded;
    }();
    return table;
}

using corvalith::bench::MillionDrawHistory;

void BM_Backtest(benchmark::State& state, evaluate::Setting setting) {
    const DrawTable& table = History();
    for (auto _ : state) {
        const auto result = evaluate::Backtest(table, setting, {});
        if (!result) state.SkipWithError("backtest failed");
        benchmark::DoNotOptimize(result->positions[0].hits[0]);
    }
    state.counters["draws"] = static_cast<double>(table.size());
}
// The command line's default setting, then the costliest placements.
BENCHMARK_CAPTURE(BM_Backtest, lpf_15_head, {FilterKind::Lpf, 15, FftPlacement::Head})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Backtest, none_15_head, {FilterKind::None, 15, FftPlacement::Head})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Backtest, lpf_10_tail, {FilterKind::Lpf, 10, FftPlacement::Tail})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Backtest, bpf_10_center, {FilterKind::Bpf, 10, FftPlacement::Center})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Backtest, bpf_10_headtail, {FilterKind::Bpf, 10, FftPlacement::HeadTail})
    ->Unit(benchmark::kMillisecond);

// backtest --bet as the command line runs it: the backtest and the money
// record of each bet type, straight from the forecasts.
void BM_BacktestBet(benchmark::State& state) {
    const DrawTable& table = History();
    const auto type = static_cast<evaluate::BetType>(state.range(0));
    for (auto _ : state) {
        const auto backtest = evaluate::BacktestWithMoney(table, {}, {}, type);
        if (!backtest) state.SkipWithError("backtest failed");
        benchmark::DoNotOptimize(backtest->money.pick.line.won);
    }
}
BENCHMARK(BM_BacktestBet)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The money record alone, from the window's draw-by-draw record: the bet
// draws, the three bettors' tallies and their exact tails.
void BM_MoneyRecord(benchmark::State& state) {
    const DrawTable& table = History();
    const auto type = static_cast<evaluate::BetType>(state.range(0));
    const auto record = evaluate::BacktestWithRecord(table, {}, {});
    if (!record) {
        state.SkipWithError("backtest failed");
        return;
    }
    for (auto _ : state) {
        const evaluate::MoneyRecord money = evaluate::RecordMoney(table, *record, type);
        benchmark::DoNotOptimize(money.pick.line.won);
    }
}
BENCHMARK(BM_MoneyRecord)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// sweep --bet box with 2 threads, wall time.
void BM_SweepBet(benchmark::State& state) {
    const DrawTable& table = History();
    for (auto _ : state) {
        const auto result = evaluate::Sweep(table, {}, 1, 2, {}, evaluate::BetType::Box);
        if (!result) state.SkipWithError("sweep failed");
        benchmark::DoNotOptimize(result->settings[0].moneyPHolm);
    }
}
BENCHMARK(BM_SweepBet)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole sweep, wall time, with state.range(0) threads.
void BM_Sweep(benchmark::State& state) {
    const DrawTable& table = History();
    const auto jobs = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        const auto result = evaluate::Sweep(table, {}, 1, jobs);
        if (!result) state.SkipWithError("sweep failed");
        benchmark::DoNotOptimize(result->bestSetting);
    }
}
BENCHMARK(BM_Sweep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak resident memory (MB) and wall time (s) of a fresh process that reads
// the million-draw history and sweeps all 63 settings with 2 threads over
// its last state.range(0) draws. (Every draw of a million would take hours:
// each placement but the head transforms a frame of up to 65,536 values per
// cycle; the count series, filters and tables are those of the whole file.)
void BM_SweepPeakMemoryMillionDraws(benchmark::State& state) {
    const std::string path = MillionDrawHistory();
    const auto last = static_cast<std::size_t>(state.range(0));
    struct Report {
        long peakKb = -1;
        double seconds = 0;
    } report;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) std::abort();
        const pid_t child = fork();
        if (child == 0) {
            const auto start = std::chrono::steady_clock::now();
            DrawTable table;
            Report mine;
            if (corvalith::LoadDrawTable(path, table) == 0 && table.size() > last) {
                const evaluate::EvaluationOptions options{table.numbers[table.size() - last]};
                if (evaluate::Sweep(table, options, 1, 2)) {
                    rusage usage{};
                    getrusage(RUSAGE_SELF, &usage);
                    mine.peakKb = usage.ru_maxrss;
                    mine.seconds =
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                            .count();
                }
            }
            if (write(fds[1], &mine, sizeof mine) != sizeof mine) _exit(1);
            _exit(0);
        }
        close(fds[1]);
        if (read(fds[0], &report, sizeof report) != sizeof report) report.peakKb = -1;
        close(fds[0]);
        waitpid(child, nullptr, 0);
    }
    if (report.peakKb < 0) state.SkipWithError("sweep failed");
    state.counters["peak_MB"] = static_cast<double>(report.peakKb) / 1024.0;
    state.counters["seconds"] = report.seconds;
}
BENCHMARK(BM_SweepPeakMemoryMillionDraws)->Arg(100)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
