// The analysis window follows its history: after a draw is added (told by the
// dialog, or seen by the file watcher when written from outside) the shown
// tab is computed again for the new end, the others are marked out of date
// and computed again when shown.
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <fstream>

#include "tests/support/history_files.h"
#include "tests/ui/analysis_fixture.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/analysis/verify_tab.h"

namespace corvalith::testing {
namespace {

void WriteWhole(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The evaluated draws of 検証's first row.
int Evaluated(const AnalysisWindow& window) {
    return window.Verify()->Table()->item(0, 1)->text().toInt();
}

TEST_F(AnalysisTest, AStaleTabIsComputedAgainWhenShownAfterAnAdd) {
    std::vector<std::string> results = RandomResults(300, 7);
    const std::string path = dir.Write("history.csv", MakeHistory(results));
    AnalysisInputs inputs = SampleInputs();
    inputs.path = path;
    inputs.drawNumber = 301;  // the draw after the history's end
    OpenAndWait(inputs, AnalysisTab::Detail);
    OpenAndWait(inputs, AnalysisTab::Verify);
    const int before = Evaluated(*window);
    const int runs = window->RunsStarted();

    // 結果の追加: one more draw, and the dialog says so.
    results.push_back("1234");
    WriteWhole(path, MakeHistory(results));
    window->HistoryWritten(QString::fromStdString(path));
    EXPECT_TRUE(window->IsStale(AnalysisTab::Detail));
    EXPECT_TRUE(window->Tabs()->tabText(0).endsWith(QStringLiteral("*")));
    EXPECT_EQ(window->Inputs().drawNumber, 302);
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(window->RunsStarted(), runs + 1);  // the shown tab at once
    EXPECT_FALSE(window->IsStale(AnalysisTab::Verify));
    EXPECT_EQ(Evaluated(*window), before + 1);

    // The other tab when it is shown.
    window->Tabs()->setCurrentIndex(static_cast<int>(AnalysisTab::Detail));
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(window->RunsStarted(), runs + 2);
    EXPECT_FALSE(window->IsStale(AnalysisTab::Detail));
    EXPECT_EQ(window->Tabs()->tabText(0), QStringLiteral("詳細"));
    EXPECT_EQ(nlohmann::json::parse(window->CurrentJson().value_or("{}")).value("draw", 0), 302);

    // Written from outside: the watcher sees it without a word from the dialog.
    results.push_back("5678");
    WriteWhole(path, MakeHistory(results));
    QTRY_VERIFY_WITH_TIMEOUT(window->IsRunning() || window->Inputs().drawNumber == 303, 10000);
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(window->Inputs().drawNumber, 303);
    EXPECT_TRUE(window->IsStale(AnalysisTab::Verify));
    EXPECT_EQ(window->RunsStarted(), runs + 3);
}

}  // namespace
}  // namespace corvalith::testing
