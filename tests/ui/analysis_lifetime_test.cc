// The analysis window's runs against its lifetime: キャンセル and the
// window's end mid-run on every tab (on a 100,000-draw history), the
// window's thread never waiting for a worker, and failures of a run shown
// as failures.
#include <QCoreApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

#include "commands/messages.h"
#include "tests/support/history_files.h"
#include "tests/ui/analysis_fixture.h"
#include "ui/qt_text.h"

namespace corvalith::testing {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr AnalysisTab kTabs[] = {AnalysisTab::Detail, AnalysisTab::Verify, AnalysisTab::Sweep,
                                 AnalysisTab::Randomness};
const char* const kTabNames[] = {"詳細", "検証", "全設定", "乱数性"};

// What a worker does, seen from the test: it holds the worker after the
// computation until the test lets it go, so a destroyed window provably did
// not wait for it.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false, computed = false, released = false, left = false;
    Clock::time_point computedAt;

    AnalysisJob::Compute Wrap() {
        return [this](AnalysisTab tab, const AnalysisInputs& inputs,
                      const evaluate::RunControl& control) {
            Set([this] { entered = true; });
            AnalysisOutcome outcome = ComputeAnalysis(tab, inputs, control);
            Set([this] {
                computed = true;
                computedAt = Clock::now();
            });
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait_for(lock, std::chrono::seconds(30), [this] { return released; });
            }
            Set([this] { left = true; });
            return outcome;
        };
    }
    template <typename Change>
    void Set(Change change) {
        const std::lock_guard<std::mutex> lock(mutex);
        change();
        changed.notify_all();
    }
    bool WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30), [this] { return entered; });
    }
};

AnalysisInputs BigInputs() {
    AnalysisInputs inputs;
    inputs.path = CachedGeneratedHistory(100000);
    inputs.interval = 10;
    inputs.drawNumber = 100001;
    return inputs;
}

// Destroying the window mid-run returns at once, the worker is still held
// (so nothing waited for it), it sees the cancel flag and ends, and nothing
// it touches died before it (the sanitizers watch the rest).
TEST_F(AnalysisTest, DestroyingTheWindowMidRunNeverWaitsForTheWorkerOnAnyTab) {
    const AnalysisInputs inputs = BigInputs();
    ASSERT_FALSE(inputs.path.empty());
    std::printf("tab     destroy (ms)  cancel seen -> computation ended (ms)\n");
    for (std::size_t t = 0; t < std::size(kTabs); ++t) {
        SCOPED_TRACE(kTabNames[t]);
        if (!window) window = std::make_unique<AnalysisWindow>(services, session);
        Gate gate;
        window->SetCompute(gate.Wrap());
        window->Open(inputs, kTabs[t]);
        ASSERT_TRUE(gate.WaitEntered());
        QTest::qWait(20);  // into the read or the computation
        const Clock::time_point destroyed = Clock::now();
        window.reset();
        const double destroyMs = MsSince(destroyed);
        {
            const std::lock_guard<std::mutex> lock(gate.mutex);
            EXPECT_FALSE(gate.left);  // the window did not wait for the worker
        }
        gate.Set([&gate] { gate.released = true; });
        WaitForAnalysisWorkers();
        const std::lock_guard<std::mutex> lock(gate.mutex);
        EXPECT_TRUE(gate.left);
        const double cancelMs =
            std::chrono::duration<double, std::milli>(gate.computedAt - destroyed).count();
        std::printf("%-8s %12.2f  %10.1f\n", kTabNames[t], destroyMs, std::max(0.0, cancelMs));
        QCoreApplication::processEvents();  // nothing the worker posted reaches anything
    }
}

// キャンセル mid-run ends the run on every tab as cancelled, with no result.
// Each run is held at its first report of progress until the cancel is
// asked for, so that a fast run (乱数性 reads and tests a big history in
// milliseconds) cannot end before the click.
TEST_F(AnalysisTest, CancelMidRunEndsEveryTabAsCancelled) {
    AnalysisInputs inputs = BigInputs();
    ASSERT_FALSE(inputs.path.empty());
    window->SetCompute([](AnalysisTab tab, const AnalysisInputs& in,
                          const evaluate::RunControl& control) {
        evaluate::RunControl held = control;
        held.share = [&control](double share) {
            const Clock::time_point limit = Clock::now() + std::chrono::seconds(30);
            while (control.cancel != nullptr && !control.cancel->load() && Clock::now() < limit) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (control.share) control.share(share);
        };
        return ComputeAnalysis(tab, in, held);
    });
    std::printf("tab     キャンセル -> run ended on the window (ms)\n");
    for (std::size_t t = 0; t < std::size(kTabs); ++t) {
        SCOPED_TRACE(kTabNames[t]);
        inputs.interval = static_cast<std::uint32_t>(10 + t);  // nothing from the cache
        window->Open(inputs, kTabs[t]);
        ASSERT_TRUE(window->IsRunning());
        QTest::qWait(20);
        ASSERT_TRUE(window->IsRunning());  // held until the click
        QSignalSpy ended(window.get(), &AnalysisWindow::RunEnded);
        const Clock::time_point clicked = Clock::now();
        window->CancelButton()->click();
        ASSERT_TRUE(ended.wait(30000));
        std::printf("%-8s %10.1f\n", kTabNames[t], MsSince(clicked));
        EXPECT_EQ(window->StatusText(), QStringLiteral("キャンセルしました。結果はありません。"));
        EXPECT_FALSE(window->CurrentJson().has_value());
    }
}

// A run that fails says so: memory exhausted or any other failure, never
// キャンセル. The fault is thrown from inside the run, through its progress.
TEST_F(AnalysisTest, AFailedRunIsShownAsAFailureNeverAsACancel) {
    struct Case {
        bool memory;
        std::u16string_view message;
    };
    const Case cases[] = {{true, kMsgOutOfMemory}, {false, kMsgEvaluationFailed}};
    AnalysisInputs inputs = SampleInputs();
    for (const Case& c : cases) {
        window->SetCompute([memory = c.memory](AnalysisTab tab, const AnalysisInputs& in,
                                               const evaluate::RunControl& control) {
            evaluate::RunControl faulty = control;
            faulty.progress = [memory](std::size_t, std::size_t) {
                if (memory) throw std::bad_alloc();
                throw std::runtime_error("injected");
            };
            return ComputeAnalysis(tab, in, faulty);
        });
        inputs.interval = c.memory ? 10 : 20;  // a new setting: not from the cache
        OpenAndWait(inputs, AnalysisTab::Verify);
        EXPECT_EQ(window->StatusText(), ToQString(c.message));
        EXPECT_FALSE(window->CurrentJson().has_value());
    }
}

}  // namespace
}  // namespace corvalith::testing
