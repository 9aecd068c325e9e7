// The analysis both faces run: how each computation ends for each kind of
// history, a cancel flag set before a step, and failures injected into a run.
#include "commands/analysis_results.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <new>
#include <stdexcept>

#include "commands/messages.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::MakeHistory;
using testing::TempDir;

AnalysisOutcome Compute(AnalysisTab tab, const std::string& path,
                        const evaluate::RunControl& control = {}) {
    AnalysisInputs inputs;
    inputs.path = path;
    inputs.interval = 10;
    return ComputeAnalysis(tab, inputs, control);
}

constexpr AnalysisTab kTabs[] = {AnalysisTab::Detail, AnalysisTab::Verify, AnalysisTab::Sweep,
                                 AnalysisTab::Randomness};

TEST(ComputeAnalysis, EndsByTheHistoryAndTheTab) {
    const TempDir dir;
    std::vector<std::string> results(40, "1234");
    const std::string good = dir.Write("good.csv", MakeHistory(results));
    const std::string empty = dir.Write("empty.csv", MakeHistory({}));
    const std::string earlier = MakeHistory({"9012"}, 3);  // a draw below the ones before
    const std::string backwards = dir.Write(
        "backwards.csv", MakeHistory({"1234", "5678"}, 5) + earlier.substr(earlier.find('\n') + 1));
    struct Case {
        std::string path;
        bool evaluation;  // Verify, Sweep, Randomness
        AnalysisEnd end;
        PredictStatus status;
        std::u16string_view message;  // empty: not checked (an order message has numbers)
    };
    const Case cases[] = {
        {good, false, AnalysisEnd::Done, PredictStatus::Ok, {}},
        {good, true, AnalysisEnd::Done, PredictStatus::Ok, {}},
        {dir.File("missing.csv"), false, AnalysisEnd::StatusFailed, PredictStatus::PathNotFound,
         kMsgPathNotFound},
        {dir.File("missing.csv"), true, AnalysisEnd::StatusFailed, PredictStatus::PathNotFound,
         kMsgPathNotFound},
        {"", true, AnalysisEnd::StatusFailed, PredictStatus::NoPath, kMsgNoPath},
        {empty, true, AnalysisEnd::NotEvaluable, PredictStatus::Ok, kMsgNoDraws},
        {backwards, true, AnalysisEnd::NotEvaluable, PredictStatus::Ok, {}},
    };
    for (const Case& c : cases) {
        for (const AnalysisTab tab : kTabs) {
            if ((tab != AnalysisTab::Detail) != c.evaluation) continue;
            SCOPED_TRACE(c.path + " tab " + std::to_string(static_cast<int>(tab)));
            const AnalysisOutcome outcome = Compute(tab, c.path);
            EXPECT_EQ(outcome.end, c.end);
            EXPECT_EQ(outcome.status, c.status);
            EXPECT_EQ(outcome.result != nullptr, c.end == AnalysisEnd::Done);
            if (!c.message.empty()) {
                EXPECT_EQ(WhyNoResult(outcome), c.message);
            }
            if (c.end == AnalysisEnd::NotEvaluable) {
                EXPECT_FALSE(WhyNoResult(outcome).empty());
            }
            if (outcome.result) {
                EXPECT_EQ(outcome.result->index(), static_cast<std::size_t>(tab));
            }
        }
    }
}

TEST(ComputeAnalysis, ACancelFlagSetBeforeTheReadEndsEveryTabCancelled) {
    const TempDir dir;
    const std::string path = dir.Write("h.csv", MakeHistory(std::vector<std::string>(40, "4321")));
    const std::atomic<bool> cancel{true};
    evaluate::RunControl control;
    control.cancel = &cancel;
    for (const AnalysisTab tab : kTabs) {
        const AnalysisOutcome outcome = Compute(tab, path, control);
        EXPECT_EQ(outcome.end, AnalysisEnd::Cancelled);
        EXPECT_EQ(outcome.result, nullptr);
        EXPECT_TRUE(WhyNoResult(outcome).empty());
    }
}

// Every tab's share starts with the load, never falls and ends at 1; a
// cancel seen during the load ends the run cancelled, not as a failed read.
TEST(ComputeAnalysis, TheShareRisesFromTheLoadToOneAndTheLoadStopsOnACancel) {
    const TempDir dir;
    std::vector<std::string> results;
    for (int i = 0; i < 3000; ++i) results.push_back(std::to_string(1000 + (i * 37) % 9000));
    const std::string path = dir.Write("h.csv", MakeHistory(results));
    for (const AnalysisTab tab : kTabs) {
        SCOPED_TRACE(static_cast<int>(tab));
        std::vector<double> seen;
        evaluate::RunControl control;
        control.share = [&seen](double share) { seen.push_back(share); };
        const AnalysisOutcome outcome = Compute(tab, path, control);
        EXPECT_EQ(outcome.end, AnalysisEnd::Done);
        ASSERT_GT(seen.size(), 2u);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_GT(seen.front(), 0.0);
        EXPECT_LT(seen.front(), 0.5);  // the first bytes read
        EXPECT_NEAR(seen.back(), 1.0, 1e-12);

        std::atomic<bool> cancel{false};
        evaluate::RunControl cancelling;
        cancelling.cancel = &cancel;
        cancelling.share = [&cancel](double) { cancel = true; };  // at the first bytes
        const AnalysisOutcome stopped = Compute(tab, path, cancelling);
        EXPECT_EQ(stopped.end, AnalysisEnd::Cancelled);
        EXPECT_TRUE(WhyNoResult(stopped).empty());
    }
}

// A failure thrown from inside the run (through its progress report) is a
// failure of its own kind, never a cancel.
TEST(ComputeAnalysis, AFailureInsideTheRunIsSaidAsAFailure) {
    const TempDir dir;
    const std::string path = dir.Write("h.csv", MakeHistory(std::vector<std::string>(60, "2468")));
    struct Case {
        std::function<void()> fault;
        AnalysisEnd end;
        std::u16string_view message;
    };
    const Case cases[] = {
        {[] { throw std::bad_alloc(); }, AnalysisEnd::OutOfMemory, kMsgOutOfMemory},
        {[] { throw std::runtime_error("injected"); }, AnalysisEnd::Failed, kMsgEvaluationFailed},
    };
    for (const Case& c : cases) {
        evaluate::RunControl control;
        control.progress = [&c](std::size_t, std::size_t) { c.fault(); };
        const AnalysisOutcome outcome = Compute(AnalysisTab::Verify, path, control);
        EXPECT_EQ(outcome.end, c.end);
        EXPECT_EQ(WhyNoResult(outcome), c.message);
    }
}

TEST(SharedRules, NoneRunsOnTheHeadAndOnlyWholeNumbersZeroToNineAreDigits) {
    for (const FftPlacement asked : kAllPlacements) {
        EXPECT_EQ(EffectivePlacement(FilterKind::None, asked), FftPlacement::Head);
        EXPECT_EQ(EffectivePlacement(FilterKind::Lpf, asked), asked);
        EXPECT_EQ(EffectivePlacement(FilterKind::Bpf, asked), asked);
    }
    const std::pair<double, bool> values[] = {{0.0, true},   {9.0, true},   {4.0, true},
                                              {-1.0, false}, {10.0, false}, {4.5, false},
                                              {-0.5, false}, {NAN, false},  {49.0, false}};
    for (const auto& [value, digit] : values) EXPECT_EQ(IsDigitValue(value), digit) << value;
}

}  // namespace
}  // namespace corvalith
