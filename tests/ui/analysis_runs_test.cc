// Runs that belong to their tab: a run goes on while another tab is shown
// and is never started again for it, its progress is determinate from the
// start, キャンセル stops only its own tab's run, and closing the window stops
// every run at once.
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "tests/support/history_files.h"
#include "tests/ui/analysis_fixture.h"
#include "ui/analysis/sweep_tab.h"

namespace corvalith::testing {
namespace {

AnalysisInputs GeneratedInputs(std::uint32_t draws) {
    AnalysisInputs inputs;
    inputs.path = CachedGeneratedHistory(draws);
    inputs.interval = 10;
    inputs.drawNumber = static_cast<std::int32_t>(draws) + 1;
    return inputs;
}

void ShowTab(AnalysisWindow& window, AnalysisTab tab) {
    window.Tabs()->setCurrentIndex(static_cast<int>(tab));
}

// 全設定 on 30,000 draws with the tabs switched away and back mid-run: the
// run is started once, its bar never goes back, and it ends with its result.
TEST_F(AnalysisTest, ARunGoesOnWhileAnotherTabIsShownAndIsNeverStartedAgain) {
    const AnalysisInputs inputs = GeneratedInputs(30000);
    ASSERT_FALSE(inputs.path.empty());
    QProgressBar* bar = window->Progress(AnalysisTab::Sweep);
    std::vector<int> seen;
    QObject::connect(bar, &QProgressBar::valueChanged, window.get(),
                     [&seen](int done) { seen.push_back(done); });
    window->Open(inputs, AnalysisTab::Sweep);
    ASSERT_TRUE(window->IsRunning(AnalysisTab::Sweep));
    const int startedWithSweep = window->RunsStarted();

    const AnalysisTab others[] = {AnalysisTab::Randomness, AnalysisTab::Detail,
                                  AnalysisTab::Randomness, AnalysisTab::Detail};
    int switches = 0;
    for (const AnalysisTab other : others) {
        if (!window->IsRunning(AnalysisTab::Sweep)) break;
        ShowTab(*window, other);
        EXPECT_FALSE(bar->isVisible());  // the shown tab's row, not the sweep's
        QTest::qWait(150);
        const bool stillRunning = window->IsRunning(AnalysisTab::Sweep);
        const int before = bar->value();
        ShowTab(*window, AnalysisTab::Sweep);
        ++switches;
        if (!stillRunning) break;
        EXPECT_TRUE(bar->isVisible());
        EXPECT_TRUE(window->CancelButton()->isVisible());
        EXPECT_GE(bar->value(), before);  // its own progress, not a new run's
        EXPECT_EQ(window->StatusText(), QStringLiteral("計算中..."));
        QTest::qWait(150);
    }
    ASSERT_GT(switches, 1) << "the run ended before the tabs were switched";
    ASSERT_TRUE(WaitForRun(600000));

    // Randomness and 詳細 were each started once, when first shown; the
    // sweep never again.
    EXPECT_LE(window->RunsStarted(), startedWithSweep + 2);
    const int afterRun = window->RunsStarted();
    ShowTab(*window, AnalysisTab::Detail);
    ShowTab(*window, AnalysisTab::Sweep);
    EXPECT_EQ(window->RunsStarted(), afterRun);  // from the cache
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), bar->maximum());
    EXPECT_EQ(window->Sweep()->Table()->rowCount(), 252);
    EXPECT_TRUE(window->CurrentJson().has_value());
    EXPECT_TRUE(window->StatusText().isEmpty());
}

// On 100,000 draws the bar has a scale from the start and moves within the
// first second of every evaluating tab (the load reports its bytes).
TEST_F(AnalysisTest, ProgressIsDeterminateWithinTheFirstSecond) {
    AnalysisInputs inputs = GeneratedInputs(100000);
    ASSERT_FALSE(inputs.path.empty());
    std::printf("tab      first progress (ms)\n");
    for (const AnalysisTab tab : {AnalysisTab::Sweep, AnalysisTab::Verify}) {
        QProgressBar* bar = window->Progress(tab);
        QElapsedTimer timer;
        qint64 firstMs = -1;
        const auto connection =
            QObject::connect(bar, &QProgressBar::valueChanged, window.get(), [&](int done) {
                if (firstMs < 0 && done > 0) firstMs = timer.elapsed();
            });
        timer.start();
        window->Open(inputs, tab);
        EXPECT_GT(bar->maximum(), 0);  // determinate before anything was reported
        (void)QTest::qWaitFor([&] { return firstMs >= 0 || !window->IsRunning(tab); }, 10000);
        std::printf("%-8d %8lld\n", static_cast<int>(tab), static_cast<long long>(firstMs));
        EXPECT_GE(firstMs, 0);
        EXPECT_LT(firstMs, 1000);
        EXPECT_GT(bar->maximum(), 0);
        QObject::disconnect(connection);
        window->CancelButton()->click();
        ASSERT_TRUE(WaitForRun(30000));
    }
}

// Two runs at once: キャンセル of one tab ends that run only; closing the
// window then stops the other at once, and nothing waits for its worker.
TEST_F(AnalysisTest, CancelStopsItsOwnTabAndClosingStopsEveryRunAtOnce) {
    const AnalysisInputs inputs = GeneratedInputs(100000);
    ASSERT_FALSE(inputs.path.empty());
    window->Open(inputs, AnalysisTab::Sweep);
    ShowTab(*window, AnalysisTab::Verify);
    ASSERT_TRUE(window->IsRunning(AnalysisTab::Sweep));
    ASSERT_TRUE(window->IsRunning(AnalysisTab::Verify));
    EXPECT_NE(window->CancelButton(AnalysisTab::Verify), window->CancelButton(AnalysisTab::Sweep));
    EXPECT_FALSE(window->CancelButton(AnalysisTab::Sweep)->isVisible());

    QSignalSpy ended(window.get(), &AnalysisWindow::RunEnded);
    window->CancelButton(AnalysisTab::Verify)->click();
    ASSERT_TRUE(ended.wait(30000));
    EXPECT_FALSE(window->IsRunning(AnalysisTab::Verify));
    EXPECT_EQ(window->StatusText(), QStringLiteral("キャンセルしました。結果はありません。"));
    EXPECT_FALSE(window->CancelButton()->isVisible());
    ASSERT_TRUE(window->IsRunning(AnalysisTab::Sweep));
    ShowTab(*window, AnalysisTab::Sweep);
    EXPECT_EQ(window->StatusText(), QStringLiteral("計算中..."));

    // Back to 検証: its run starts again, so two are going when the window closes.
    ShowTab(*window, AnalysisTab::Verify);
    ASSERT_TRUE(window->IsRunning(AnalysisTab::Verify));
    QElapsedTimer timer;
    timer.start();
    window->close();
    const qint64 closeMs = timer.elapsed();
    std::printf("close with two runs: %lld ms\n", static_cast<long long>(closeMs));
    EXPECT_LT(closeMs, 200);
    EXPECT_FALSE(window->IsRunning(AnalysisTab::Sweep));
    EXPECT_FALSE(window->IsRunning(AnalysisTab::Verify));
    EXPECT_EQ(window->StatusText(), QStringLiteral("キャンセルしました。結果はありません。"));
    timer.restart();
    WaitForAnalysisWorkers();  // both workers see the cancel and end
    std::printf("both workers ended %lld ms after the close\n",
                static_cast<long long>(timer.elapsed()));
}

// キャンセル of a run that has gone more than ten seconds asks first: いいえ
// lets it go on, はい ends it; a shorter run ends at once. The bar tells
// the time left once the pace can tell it.
TEST_F(AnalysisTest, CancellingALongRunAsksFirstAndTheBarTellsTheTimeLeft) {
    std::atomic<std::int64_t> now{0};
    window->SetClock([&now] { return now.load(); });
    // A computation that reports half of it done, then waits for the cancel.
    window->SetCompute([](AnalysisTab, const AnalysisInputs&, const evaluate::RunControl& control) {
        if (control.share) control.share(0.5);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (control.cancel != nullptr && !control.cancel->load() &&
               std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        AnalysisOutcome cancelled;
        cancelled.end = AnalysisEnd::Cancelled;
        return cancelled;
    });
    QString asked;
    int answer = QMessageBox::No;
    services.onModal = [&](QDialog& dialog) {
        asked = qobject_cast<QMessageBox*>(&dialog)->text();
        return answer;
    };
    now = 0;
    window->Open(SampleInputs(), AnalysisTab::Verify);
    ASSERT_TRUE(window->IsRunning());
    now = 20000;  // 20 s into the run, half of it done: about 20 s left
    QTRY_VERIFY_WITH_TIMEOUT(window->Progress()->value() >= window->Progress()->maximum() / 2,
                             10000);
    EXPECT_EQ(window->Progress()->format(), QStringLiteral("%p%　残り約 20 秒"));
    now = 20500;
    window->CancelButton()->click();
    EXPECT_EQ(asked, QStringLiteral("20 秒分の計算が失われます。キャンセルしますか？"));
    QTest::qWait(50);
    EXPECT_TRUE(window->IsRunning());  // いいえ: it goes on
    answer = QMessageBox::Yes;
    window->CancelButton()->click();
    ASSERT_TRUE(WaitForRun(30000));
    EXPECT_EQ(services.modalRuns.size(), 2u);

    // Under ten seconds: no question.
    now = 0;
    window->Tabs()->setCurrentIndex(static_cast<int>(AnalysisTab::Randomness));
    ASSERT_TRUE(window->IsRunning());
    now = AnalysisWindow::kAskBeforeCancelMs;
    window->CancelButton()->click();
    ASSERT_TRUE(WaitForRun(30000));
    EXPECT_EQ(services.modalRuns.size(), 2u);
}

}  // namespace
}  // namespace corvalith::testing
