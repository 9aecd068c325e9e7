// Forecasts on four threads at once give the serial run's results bit for bit:
// the filter kernels one forecast designs, registers and convolves with are
// never touched by another. Built under ThreadSanitizer too (label `threads`).
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "commands/predict_core.h"
#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "tests/support/history_files.h"
#include "text/file_system_path.h"

namespace corvalith {
namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 2;

struct Setting {
    FilterKind filter;
    FftPlacement placement;
    std::uint32_t interval;
};

// Both filters (each run registers a kernel) beside the unfiltered predictor.
constexpr std::array<Setting, 6> kSettings = {{
    {FilterKind::Lpf, FftPlacement::Head, 10},
    {FilterKind::Bpf, FftPlacement::Tail, 10},
    {FilterKind::Lpf, FftPlacement::HeadTail, 30},
    {FilterKind::None, FftPlacement::Head, 10},
    {FilterKind::Bpf, FftPlacement::Center, 30},
    {FilterKind::Lpf, FftPlacement::Center, 15},
}};

PredictRequest RequestFor(const Setting& setting) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(testing::SampleHistoryPath());
    request.filterKind = IFType(setting.filter);
    request.fftFlag = FftFlag(setting.placement);
    request.interval = setting.interval;
    request.proposeDrawNumber = true;
    return request;
}

struct Forecast {
    PredictOutcome outcome;
    PredictDetail detail;
};

Forecast RunSetting(const Setting& setting) {
    const PredictRequest request = RequestFor(setting);
    return {RunPredict(request), RunPredictDetail(request)};
}

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

::testing::AssertionResult SameDetail(const PredictDetail& serial, const PredictDetail& threaded) {
    if (serial.status != threaded.status || serial.text != threaded.text ||
        serial.drawNumber != threaded.drawNumber) {
        return ::testing::AssertionFailure() << "status, message or draw number differ";
    }
    for (std::size_t p = 0; p < serial.positions.size(); ++p) {
        const PositionForecast& a = serial.positions[p];
        const PositionForecast& b = threaded.positions[p];
        if (a.text != b.text || a.ranked != b.ranked || a.ranking != b.ranking) {
            return ::testing::AssertionFailure() << "position " << p << ": ranking differs";
        }
        for (std::size_t d = 0; d < a.scores.size(); ++d) {
            if (!SameBits(a.scores[d], b.scores[d]) || a.spectra[d].size() != b.spectra[d].size()) {
                return ::testing::AssertionFailure() << "position " << p << " digit " << d;
            }
            for (std::size_t i = 0; i < a.spectra[d].size(); ++i) {
                if (!SameBits(a.spectra[d][i], b.spectra[d][i])) {
                    return ::testing::AssertionFailure()
                           << "position " << p << " digit " << d << " bin " << i;
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(ConcurrentForecast, FourThreadsGiveTheSerialResultsBitForBit) {
    std::vector<Forecast> serial;
    for (const Setting& setting : kSettings) serial.push_back(RunSetting(setting));
    for (const Forecast& run : serial) {
        ASSERT_EQ(run.outcome.status, PredictStatus::Ok);
        ASSERT_TRUE(run.detail.positions[0].ranked);  // the forecast really ran
    }

    // Each thread starts at another setting, so filtered and unfiltered runs,
    // designs and closes of the registry overlap.
    std::array<std::vector<Forecast>, kThreads> threaded;
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int round = 0; round < kRounds; ++round) {
                for (std::size_t i = 0; i < kSettings.size(); ++i) {
                    threaded[t].push_back(RunSetting(kSettings[(i + t) % kSettings.size()]));
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(threaded[t].size(), kRounds * kSettings.size());
        for (std::size_t k = 0; k < threaded[t].size(); ++k) {
            const std::size_t s = (k + t) % kSettings.size();
            SCOPED_TRACE("thread " + std::to_string(t) + ", setting " + std::to_string(s));
            EXPECT_EQ(threaded[t][k].outcome.status, serial[s].outcome.status);
            EXPECT_EQ(threaded[t][k].outcome.text, serial[s].outcome.text);
            EXPECT_TRUE(SameDetail(serial[s].detail, threaded[t][k].detail));
        }
    }
}

}  // namespace
}  // namespace corvalith
