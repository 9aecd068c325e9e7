// 買い目 and 検証's 収支: the window shows what corvix-cli tickets and
// backtest --bet print for the same setting, for every bet type and spread.
#include <QChart>
#include <QComboBox>
#include <QSpinBox>
#include <QTableWidget>

#include "report/money_report.h"
#include "tests/support/history_files.h"
#include "tests/ui/analysis_fixture.h"
#include "ui/analysis/tickets_tab.h"
#include "ui/analysis/verify_tab.h"

namespace corvalith::testing {
namespace {

using nlohmann::json;

TEST_F(AnalysisTest, TicketsAndBalanceAreTheCommandLines) {
    const AnalysisInputs inputs = SampleInputs();
    OpenAndWait(inputs, AnalysisTab::Tickets);
    for (const int spread : {0, 2}) {
        window->Tickets()->SpreadSelector()->setValue(spread);
        std::vector<std::string> args = {"tickets",  inputs.path,
                                         "--draw",   std::to_string(inputs.drawNumber),
                                         "--format", "json"};
        if (spread > 0) args.insert(args.end(), {"--spread", std::to_string(spread)});
        EXPECT_EQ(window->CurrentJson().value_or(""), CliOutput(args));
        EXPECT_EQ(window->Tickets()->Table()->rowCount(), spread > 0 ? 4 : 3);
    }
    EXPECT_TRUE(window->Tickets()->Text().contains(QString::fromUtf8(kMoneyNote)));

    window->Tabs()->setCurrentIndex(static_cast<int>(AnalysisTab::Verify));
    ASSERT_TRUE(WaitForRun());
    const char* const types[] = {"straight", "box", "set"};
    for (int b = 2; b >= 0; --b) {  // ends on straight, the default of the next tests
        SCOPED_TRACE(types[b]);
        window->BetSelector()->setCurrentIndex(b);
        const std::string cli =
            CliOutput({"backtest", inputs.path, "--bet", types[b], "--format", "json"});
        ASSERT_EQ(window->CurrentJson().value_or(""), cli);
        const json bet = json::parse(cli)["bet"];
        const QTableWidget& table = *window->Verify()->MoneyTable();
        ASSERT_EQ(table.rowCount(), 3);
        EXPECT_EQ(table.item(0, 3)->data(Qt::UserRole).toDouble(), bet["won"].get<double>());
        EXPECT_EQ(table.item(1, 4)->data(Qt::UserRole).toDouble(),
                  bet["baselines"]["fixed"]["balance"].get<double>());
        EXPECT_EQ(table.item(2, 10)->data(Qt::UserRole).toDouble(),
                  bet["baselines"]["hot"]["p_value"].get<double>());
        const QChart* chart = window->Verify()->BalanceChart();
        EXPECT_EQ(chart->series().size(), 4);  // expected, fixed, hot, pick
        EXPECT_TRUE(chart->title().contains(QString::fromUtf8(kMoneyNote)));
        EXPECT_TRUE(window->Verify()->MoneyVerdictText().contains(QString::fromUtf8(kMoneyNote)));
    }
}

// With payouts in the history, 買い目 lists what each ticket is estimated to
// pay if it wins, as corvix-cli tickets does.
TEST_F(AnalysisTest, TicketsOfAHistoryWithPayoutsShowTheEstimates) {
    AnalysisInputs inputs = SampleInputs();
    inputs.path = dir.Write("paid.csv",
                            WithPayoutFields(ReadFile(inputs.path), ",1000000,40000,500000,20000"));
    OpenAndWait(inputs, AnalysisTab::Tickets);
    EXPECT_EQ(window->CurrentJson().value_or(""),
              CliOutput({"tickets", inputs.path, "--draw", std::to_string(inputs.drawNumber),
                         "--format", "json"}));
    const QTableWidget& table = *window->Tickets()->Table();
    ASSERT_EQ(table.columnCount(), 6);
    EXPECT_EQ(table.horizontalHeaderItem(5)->text(),
              QStringLiteral("当せん時の払戻の見積り（95% 区間）"));
    EXPECT_TRUE(table.item(0, 5)->text().endsWith(QStringLiteral("）")))
        << table.item(0, 5)->text().toStdString();
}

}  // namespace
}  // namespace corvalith::testing
