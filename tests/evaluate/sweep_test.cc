// Sweep: its settings, results identical for any number of threads and
// equal to one backtest per setting, the statistics and Holm's correction
// beside them, cancel and progress.
#include "evaluate/sweep.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "tests/evaluate/backtest_reference.h"

namespace corvalith::evaluate {
namespace {

using testing::RandomTable;
using testing::SameResult;
using testing::TableOf;

TEST(SweepSettings, AreLpfAndBpfByIntervalAndPlacementThenNoneByInterval) {
    const std::vector<Setting> settings = SweepSettings();
    ASSERT_EQ(settings.size(), 63u);
    const std::uint32_t intervals[] = {30, 24, 20, 18, 15, 12, 10};
    const FftPlacement placements[] = {FftPlacement::Head, FftPlacement::Tail, FftPlacement::Center,
                                       FftPlacement::HeadTail};
    std::size_t i = 0;
    for (const FilterKind filter : {FilterKind::Lpf, FilterKind::Bpf}) {
        for (const std::uint32_t interval : intervals) {
            for (const FftPlacement placement : placements) {
                EXPECT_EQ(settings[i].filter, filter) << i;
                EXPECT_EQ(settings[i].interval, interval) << i;
                EXPECT_EQ(settings[i].fft, placement) << i;
                ++i;
            }
        }
    }
    for (const std::uint32_t interval : intervals) {
        EXPECT_EQ(settings[i].filter, FilterKind::None) << i;
        EXPECT_EQ(settings[i].interval, interval) << i;
        EXPECT_EQ(settings[i].fft, FftPlacement::Head) << i;
        ++i;
    }
}

::testing::AssertionResult SameSweep(const SweepResult& a, const SweepResult& b) {
    if (a.settings.size() != b.settings.size()) return ::testing::AssertionFailure() << "sizes";
    for (std::size_t s = 0; s < a.settings.size(); ++s) {
        const auto same = SameResult(a.settings[s].result, b.settings[s].result);
        if (!same)
            return ::testing::AssertionFailure() << "setting " << s << ": " << same.message();
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            const TopStatistics& x = a.settings[s].statistics[p];
            const TopStatistics& y = b.settings[s].statistics[p];
            if (x.rate != y.rate || x.chance != y.chance || x.ci95.low != y.ci95.low ||
                x.ci95.high != y.ci95.high || x.pValue != y.pValue ||
                a.settings[s].pHolm[p] != b.settings[s].pHolm[p]) {
                return ::testing::AssertionFailure() << "statistics of " << s << "/" << p;
            }
        }
    }
    if (a.bestSetting != b.bestSetting || a.bestPosition != b.bestPosition ||
        a.anySignificant != b.anySignificant) {
        return ::testing::AssertionFailure() << "summary";
    }
    return ::testing::AssertionSuccess();
}

TEST(Sweep, GivesTheSameResultForAnyNumberOfThreadsAndEqualsOneBacktestPerSetting) {
    const DrawTable table = RandomTable(500, 31, 3);
    const auto one = Sweep(table, {}, 3, 1);
    ASSERT_TRUE(one.has_value());
    for (const unsigned jobs : {2u, 3u, 8u, 0u}) {
        const auto many = Sweep(table, {}, 3, jobs);
        ASSERT_TRUE(many.has_value()) << jobs;
        EXPECT_TRUE(SameSweep(*one, *many)) << jobs << " threads";
    }
    const std::vector<Setting> settings = SweepSettings();
    for (std::size_t s = 0; s < settings.size(); ++s) {
        const auto alone = Backtest(table, settings[s], {});
        ASSERT_TRUE(alone.has_value());
        EXPECT_TRUE(SameResult(one->settings[s].result, *alone)) << s;
    }
}

TEST(Sweep, RunsOnTheThreadsThatStartWhenOthersCannot) {
    const DrawTable table = RandomTable(400, 35, 2);
    const auto serial = Sweep(table, {}, 2, 1);
    ASSERT_TRUE(serial.has_value());
    struct Case {
        unsigned jobs;
        unsigned startable;  // threads that start before the next one cannot
    };
    for (const Case c : {Case{4, 0}, Case{4, 1}, Case{8, 3}, Case{3, 2}}) {
        SCOPED_TRACE(::testing::Message() << c.jobs << " jobs, " << c.startable << " start");
        std::atomic<unsigned> started{0};
        std::atomic<unsigned> refused{0};
        std::atomic<std::size_t> done{0};
        RunControl control;
        control.progress = [&](std::size_t d, std::size_t) { done = d; };
        control.startThread = [&](std::function<void()> work) {
            if (started.load() == c.startable) {
                ++refused;
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            }
            ++started;
            return std::jthread(std::move(work));
        };
        const auto sweep = Sweep(table, {}, 2, c.jobs, control);
        ASSERT_TRUE(sweep.has_value());
        EXPECT_TRUE(SameSweep(*serial, *sweep));
        EXPECT_EQ(started.load(), c.startable);
        EXPECT_EQ(refused.load(), c.startable + 1 < c.jobs ? 1u : 0u);  // no retry after a refusal
        EXPECT_EQ(done.load(), 63u);
    }
}

TEST(Sweep, StartsAtTheFirstDrawAskedForInEverySetting) {
    const DrawTable table = RandomTable(300, 32, 0, 5000);
    const EvaluationOptions options{5123};
    const auto sweep = Sweep(table, options, 2, 2);
    ASSERT_TRUE(sweep.has_value());
    const std::vector<Setting> settings = SweepSettings();
    for (std::size_t s = 0; s < settings.size(); ++s) {
        const auto alone = Backtest(table, settings[s], options);
        EXPECT_TRUE(SameResult(sweep->settings[s].result, *alone)) << s;
        EXPECT_EQ(sweep->settings[s].result.firstEvaluatedDraw, 5123) << s;
    }
}

TEST(Sweep, PutsTheStatisticsAndHolmsCorrectionBesideEachPosition) {
    const DrawTable table = RandomTable(400, 33, 2);
    for (const int top : {1, 3, 10}) {
        const auto sweep = Sweep(table, {}, top, 2);
        ASSERT_TRUE(sweep.has_value());
        bool anyBelow = false;
        double bestRate = -1;
        for (std::size_t s = 0; s < sweep->settings.size(); ++s) {
            const SweepEntry& entry = sweep->settings[s];
            for (std::size_t p = 0; p < kPositionCount; ++p) {
                const PositionResult& position = entry.result.positions[p];
                const TopStatistics& statistics = entry.statistics[p];
                ASSERT_GT(position.evaluated, 0u);
                EXPECT_EQ(statistics.rate, static_cast<double>(position.hits[top - 1]) /
                                               static_cast<double>(position.evaluated));
                EXPECT_EQ(statistics.chance, top / 10.0);
                // Inside its interval (to rounding at the ends, rate 0 or 1).
                EXPECT_LE(statistics.ci95.low, statistics.rate + 1e-12);
                EXPECT_GE(statistics.ci95.high, statistics.rate - 1e-12);
                EXPECT_GE(statistics.pValue, 0.0);
                EXPECT_LE(statistics.pValue, 1.0);
                EXPECT_GE(entry.pHolm[p], statistics.pValue);
                EXPECT_LE(entry.pHolm[p], 1.0);
                if (top == 10) {
                    EXPECT_EQ(statistics.rate, 1.0);  // every digit is among all ten
                    EXPECT_NEAR(statistics.pValue, 1.0, 1e-12);
                }
                anyBelow = anyBelow || entry.pHolm[p] < 0.05;
                // The best is the first (setting, position) of the highest rate.
                if (statistics.rate > bestRate) bestRate = statistics.rate;
            }
        }
        EXPECT_EQ(sweep->anySignificant, anyBelow);
        const SweepEntry& best = sweep->settings[sweep->bestSetting];
        EXPECT_EQ(best.statistics[sweep->bestPosition].rate, bestRate);
        for (std::size_t s = 0; s <= sweep->bestSetting; ++s) {
            const std::size_t end = s == sweep->bestSetting ? sweep->bestPosition : kPositionCount;
            for (std::size_t p = 0; p < end; ++p) {
                EXPECT_LT(sweep->settings[s].statistics[p].rate, bestRate) << s << "/" << p;
            }
        }
    }
}

TEST(Sweep, FindsTheConstantHistorySignificantEverywhere) {
    // Every draw 7777: every forecast's first digit is right.
    const DrawTable table = TableOf(300, [](std::size_t, std::size_t) { return 7; });
    const auto sweep = Sweep(table, {}, 1, 2);
    ASSERT_TRUE(sweep.has_value());
    EXPECT_TRUE(sweep->anySignificant);
    EXPECT_EQ(sweep->bestSetting, 0u);  // all rates are 1: the first one wins
    EXPECT_EQ(sweep->bestPosition, 0u);
    for (const SweepEntry& entry : sweep->settings) {
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            EXPECT_EQ(entry.statistics[p].rate, 1.0);
            EXPECT_LT(entry.pHolm[p], 1e-100);  // 0.1 ^ (300 - 30) at most, times 252
        }
    }
}

TEST(StatisticsFor, IsTheTopKRateBesideChanceWithItsIntervalAndTail) {
    PositionResult position;
    position.evaluated = 10;
    position.hits = {10, 10, 10, 10, 10, 10, 10, 10, 10, 10};
    const TopStatistics all = StatisticsFor(position, 1);
    EXPECT_EQ(all.rate, 1.0);
    EXPECT_EQ(all.chance, 0.1);
    EXPECT_NEAR(all.pValue, 1e-10, 1e-20);  // ten hits in ten at chance 0.1
    // Wilson: (p + z^2/2n + z sqrt(p(1-p)/n + z^2/4n^2)) / (1 + z^2/n) at p = 1 is 1;
    // the lower end is 1 / (1 + z^2/n).
    EXPECT_NEAR(all.ci95.high, 1.0, 1e-12);
    EXPECT_NEAR(all.ci95.low, 1.0 / (1.0 + kZ95 * kZ95 / 10.0), 1e-12);

    position.hits = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const TopStatistics none = StatisticsFor(position, 1);
    EXPECT_EQ(none.rate, 0.0);
    EXPECT_EQ(none.pValue, 1.0);
    const TopStatistics three = StatisticsFor(position, 3);
    EXPECT_EQ(three.rate, 0.3);
    EXPECT_EQ(three.chance, 0.3);
    EXPECT_LT(three.ci95.low, 0.3);
    EXPECT_GT(three.ci95.high, 0.3);

    const TopStatistics empty = StatisticsFor(PositionResult{}, 5);
    EXPECT_EQ(empty.rate, 0.0);
    EXPECT_EQ(empty.chance, 0.5);
    EXPECT_EQ(empty.pValue, 1.0);
}

TEST(Sweep, ReturnsNothingWhenCancelledAndReportsItsProgressFromAnyThread) {
    const DrawTable table = RandomTable(300, 34);
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(Sweep(table, {}, 1, 2, {{}, &cancel}).has_value());
    EXPECT_FALSE(Sweep(table, {}, 1, 1, {{}, &cancel}).has_value());

    // Cancelled by the first progress report, on whichever thread it comes.
    cancel = false;
    RunControl control;
    control.cancel = &cancel;
    control.progress = [&](std::size_t, std::size_t) { cancel = true; };
    EXPECT_FALSE(Sweep(table, {}, 1, 2, control).has_value());

    std::mutex mutex;
    std::vector<std::size_t> done;
    std::size_t total = 0;
    cancel = false;
    control.progress = [&](std::size_t d, std::size_t t) {
        const std::lock_guard<std::mutex> lock(mutex);
        done.push_back(d);
        total = t;
    };
    ASSERT_TRUE(Sweep(table, {}, 1, 3, control).has_value());
    ASSERT_FALSE(done.empty());
    EXPECT_EQ(total, 63u);
    EXPECT_EQ(done.back(), 63u);
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
}

}  // namespace
}  // namespace corvalith::evaluate
