// Speed and memory of the forecast core: reading histories (MB/s), one whole
// four-position forecast per filter kind (reading included) on the sample and
// the real history, ApplyFilter and ComputeFFT by size, and the peak memory of
// reading and forecasting a 1,000,000-draw history.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "commands/predict_core.h"
#include "dsp/fft.h"
#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "dsp/wa_data.h"
#include "history/draw_history.h"
#include "text/file_system_path.h"

namespace {

using corvalith::ScopedWAData;

using corvalith::bench::MillionDrawHistory;

void LoadHistory(benchmark::State& state, const std::string& path) {
    const auto bytes = std::filesystem::file_size(path);
    for (auto _ : state) {
        std::array<ScopedWAData, 4> series;
        const int rc = LoadDrawHistory(path, series[0].get(), series[1].get(), series[2].get(),
                                       series[3].get());
        if (rc != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(series[0].get().samples);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_LoadSample(benchmark::State& state) { LoadHistory(state, CORVALITH_SAMPLE_HISTORY); }
BENCHMARK(BM_LoadSample)->Unit(benchmark::kMillisecond);

void BM_LoadMillionDraws(benchmark::State& state) { LoadHistory(state, MillionDrawHistory()); }
BENCHMARK(BM_LoadMillionDraws)->Unit(benchmark::kMillisecond);

// One full forecast from the sample file, reading included.
void BM_ForecastSample(benchmark::State& state) {
    corvalith::PredictRequest request;
    request.historyPath = corvalith::PathFromFileSystem(CORVALITH_SAMPLE_HISTORY);
    request.filterKind = static_cast<std::int32_t>(state.range(0));
    request.interval = 15;
    for (auto _ : state) {
        const auto outcome = corvalith::RunPredict(request);
        if (outcome.status != corvalith::PredictStatus::Ok) state.SkipWithError("forecast failed");
        benchmark::DoNotOptimize(outcome.text.data());
    }
    static const char* kNames[] = {"LPF", "BPF", "NONE"};
    state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_ForecastSample)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The whole forecast the command line makes of the real history (interval 15),
// reading included, per filter kind; skipped when the file is absent.
void BM_ForecastRealHistory(benchmark::State& state) {
    const std::string path = CORVALITH_REAL_HISTORY;
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("no real history");
        return;
    }
    corvalith::PredictRequest request;
    request.historyPath = corvalith::PathFromFileSystem(path);
    request.filterKind = static_cast<std::int32_t>(state.range(0));
    request.interval = 15;
    request.drawNumber = 7055;
    for (auto _ : state) {
        const auto outcome = corvalith::RunPredict(request);
        if (outcome.status != corvalith::PredictStatus::Ok) state.SkipWithError("forecast failed");
        benchmark::DoNotOptimize(outcome.text.data());
    }
    static const char* kNames[] = {"LPF", "BPF", "NONE"};
    state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_ForecastRealHistory)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// ApplyFilter with the low-pass kernel on a count series of the given length
// (470 is one digit's series of the real history at interval 15); the copy
// of the input each round is part of the figure.
void BM_ApplyFilter(benchmark::State& state) {
    const auto n = static_cast<std::uint32_t>(state.range(0));
    std::vector<double> counts(n);
    for (std::uint32_t i = 0; i < n; ++i) counts[i] = (i * 7 + i / 3) % 5;
    (void)OpenFilterLibrary();
    {
        FilterSpec spec;
        if (DesignLPF(spec) != 0) state.SkipWithError("design failed");
        for (auto _ : state) {
            WAData data{new double[n], n, 1};
            std::copy(counts.begin(), counts.end(), data.samples);
            if (ApplyFilter(spec, data) != 0) state.SkipWithError("filter failed");
            benchmark::DoNotOptimize(data.samples);
            corvalith::ReleaseSamples(data);
        }
    }
    CloseFilterLibrary();
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}
BENCHMARK(BM_ApplyFilter)->Arg(470)->Arg(705)->Arg(66666)->Unit(benchmark::kMicrosecond);

void BM_ComputeFFT(benchmark::State& state) {
    const auto n = static_cast<std::uint32_t>(state.range(0));
    std::vector<double> in(n), re(n), im(n);
    for (std::uint32_t i = 0; i < n; ++i) in[i] = (i * 7) % 10;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeFFT(in.data(), re.data(), im.data(), n, 0));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}
BENCHMARK(BM_ComputeFFT)->RangeMultiplier(2)->Range(8, 4096);

// Peak resident memory of a fresh process that reads the million-draw file and
// forecasts from it (LPF), reported as a counter in MB.
void BM_PeakMemoryMillionDraws(benchmark::State& state) {
    const std::string path = MillionDrawHistory();
    long peakKb = 0;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) std::abort();
        const pid_t child = fork();
        if (child == 0) {
            corvalith::PredictRequest request;
            request.historyPath = corvalith::PathFromFileSystem(path);
            const bool ok = corvalith::RunPredict(request).status == corvalith::PredictStatus::Ok;
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            const long kb = ok ? usage.ru_maxrss : -1;
            if (write(fds[1], &kb, sizeof kb) != sizeof kb) _exit(1);
            _exit(0);
        }
        close(fds[1]);
        if (read(fds[0], &peakKb, sizeof peakKb) != sizeof peakKb) peakKb = -1;
        close(fds[0]);
        waitpid(child, nullptr, 0);
    }
    if (peakKb < 0) state.SkipWithError("forecast failed");
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024.0;
}
BENCHMARK(BM_PeakMemoryMillionDraws)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
