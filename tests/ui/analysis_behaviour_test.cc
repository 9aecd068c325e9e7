// The analysis window's behaviour: a run on a worker thread with progress
// and cancel, the cache and its invalidation when the file changes, the
// exports read back, and the 分析 menu of the dialog.
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTableWidget>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "app/about_dlg.h"
#include "tests/support/history_files.h"
#include "tests/ui/analysis_fixture.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/analysis/detail_tab.h"
#include "ui/analysis/randomness_tab.h"
#include "ui/analysis/sweep_tab.h"
#include "ui/analysis/verify_tab.h"
#include "ui/cpendula_dlg.h"
#include "ui/failure_box.h"
#include "ui/resource.h"

namespace corvalith::testing {
namespace {

using nlohmann::json;

json Json(const std::optional<std::string>& text) {
    EXPECT_TRUE(text.has_value());
    return json::parse(text.value_or("null"));
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(AnalysisTest, ASweepCancelledHalfwayShowsNoResult) {
    // Long enough that the cancel arrives while the settings are running.
    const std::string history = CachedGeneratedHistory(30000);
    ASSERT_FALSE(history.empty());
    AnalysisInputs inputs = SampleInputs();
    inputs.path = history;
    bool cancelled = false;
    QProgressBar* bar = window->Progress(AnalysisTab::Sweep);
    QObject::connect(bar, &QProgressBar::valueChanged, window.get(), [&](int done) {
        const int total = bar->maximum();
        if (!cancelled && total > 0 && done >= total / 2) {
            EXPECT_TRUE(window->CancelButton()->isVisible());
            cancelled = true;
            window->CancelButton()->click();
        }
    });
    window->Open(inputs, AnalysisTab::Sweep);
    EXPECT_TRUE(window->IsRunning());
    EXPECT_TRUE(window->Progress()->isVisible());
    EXPECT_EQ(window->Progress(), bar);
    ASSERT_TRUE(WaitForRun());
    ASSERT_TRUE(cancelled);
    EXPECT_LT(window->Progress()->value(), window->Progress()->maximum());
    EXPECT_EQ(window->Sweep()->Table()->rowCount(), 0);
    EXPECT_TRUE(window->Sweep()->Verdict().isEmpty());
    EXPECT_FALSE(window->CurrentJson().has_value());
    EXPECT_EQ(window->Cache().size(), 0u);
    EXPECT_TRUE(window->StatusText().contains(QStringLiteral("キャンセル")));
    EXPECT_FALSE(window->CancelButton()->isVisible());
}

TEST_F(AnalysisTest, ProgressRisesToTheEndOfARun) {
    std::vector<int> seen;
    QProgressBar* bar = window->Progress(AnalysisTab::Sweep);
    QObject::connect(bar, &QProgressBar::valueChanged, window.get(),
                     [&](int done) { seen.push_back(done); });
    OpenAndWait(SampleInputs(), AnalysisTab::Sweep);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_LE(seen.back(), bar->maximum());
    EXPECT_EQ(window->Sweep()->Table()->rowCount(), 252);
}

TEST_F(AnalysisTest, ResultsAreCachedUntilTheFileChanges) {
    const std::string path = dir.Write("history.csv", MakeHistory(RandomResults(400, 7)));
    AnalysisInputs inputs = SampleInputs();
    inputs.path = path;
    OpenAndWait(inputs, AnalysisTab::Randomness);
    EXPECT_EQ(window->RunsStarted(), 1);
    EXPECT_EQ(Json(window->CurrentJson())["history"]["draws"], 400);

    // Another tab and back, the same command again: no new run.
    OpenAndWait(inputs, AnalysisTab::Verify);
    EXPECT_EQ(window->RunsStarted(), 2);
    window->Tabs()->setCurrentIndex(static_cast<int>(AnalysisTab::Randomness));
    window->Open(inputs, AnalysisTab::Randomness);
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(window->RunsStarted(), 2);
    EXPECT_EQ(window->Randomness()->Table()->rowCount(), 18);

    // A longer file: computed again.
    (void)dir.Write("history.csv", MakeHistory(RandomResults(401, 7)));
    OpenAndWait(inputs, AnalysisTab::Randomness);
    EXPECT_EQ(window->RunsStarted(), 3);
    EXPECT_EQ(Json(window->CurrentJson())["history"]["draws"], 401);

    // The same size with other digits and a later time: computed again.
    const json before = Json(window->CurrentJson());
    std::vector<std::string> other = RandomResults(401, 8);
    (void)dir.Write("history.csv", MakeHistory(other));
    const auto later = std::filesystem::last_write_time(path) + std::chrono::seconds(5);
    std::filesystem::last_write_time(path, later);
    OpenAndWait(inputs, AnalysisTab::Randomness);
    EXPECT_EQ(window->RunsStarted(), 4);
    EXPECT_NE(Json(window->CurrentJson())["positions"], before["positions"]);
    EXPECT_EQ(window->CurrentJson().value_or(""),
              CliOutput({"randomness", path, "--format", "json"}));
    // Stale entries of the file are gone: only the new randomness result is kept.
    EXPECT_EQ(window->Cache().size(), 1u);
}

TEST_F(AnalysisTest, AHistoryThatCannotBeEvaluatedSaysWhy) {
    const std::string path = dir.Write("header-only.csv", MakeHistory({}));
    AnalysisInputs inputs = SampleInputs();
    inputs.path = path;
    OpenAndWait(inputs, AnalysisTab::Verify);
    const ProgramResult cli = RunProgram({CORVALITH_CLI, "backtest", path});
    EXPECT_EQ(cli.exitCode, 65);
    EXPECT_EQ(window->StatusText().toStdString() + "\n", cli.err);
    EXPECT_FALSE(window->CurrentJson().has_value());
}

// The fields of each CSV line after the byte-order mark (no field is quoted).
std::vector<std::vector<std::string>> CsvRows(const std::string& table) {
    std::vector<std::vector<std::string>> rows;
    EXPECT_EQ(table.substr(0, 3), "\xEF\xBB\xBF");
    std::size_t at = 3;
    while (at < table.size()) {
        const std::size_t end = table.find("\r\n", at);
        if (end == std::string::npos) break;
        std::vector<std::string> fields;
        std::string field;
        for (const char c : table.substr(at, end - at)) {
            if (c == ',') {
                fields.push_back(field);
                field.clear();
            } else {
                field += c;
            }
        }
        fields.push_back(field);
        rows.push_back(fields);
        at = end + 2;
    }
    return rows;
}

// A CSV field read whole as a number (the test fails when it is not one).
double Number(const std::string& field) {
    std::size_t used = 0;
    double value = std::nan("");
    try {
        value = std::stod(field, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    EXPECT_EQ(used, field.size()) << field;
    return value;
}

TEST_F(AnalysisTest, ExportsParseBack) {
    OpenAndWait(SampleInputs(), AnalysisTab::Verify);
    window->resize(900, 700);
    const std::string png = dir.File("verify.png"), svg = dir.File("verify.svg");
    const std::string csv = dir.File("verify.csv"), jsonPath = dir.File("verify.json");
    for (const std::string& path : {png, svg, csv, jsonPath}) {
        services.AnswerSaveDialog(QString::fromStdString(path));
    }
    ASSERT_TRUE(window->ExportPng());
    ASSERT_TRUE(window->ExportSvg());
    ASSERT_TRUE(window->ExportCsv());
    ASSERT_TRUE(window->ExportJson());
    ASSERT_EQ(services.saveDialogs.size(), 4u);
    EXPECT_EQ(services.saveDialogs[0].filter.pattern, QStringLiteral("*.png"));
    EXPECT_EQ(services.saveDialogs[2].filter.pattern, QStringLiteral("*.csv"));

    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    // The panel at its size, with the title strip above it and the caption below.
    const QSize panel = window->Verify()->ChartPanel()->size();
    const qreal ratio = window->Verify()->ChartPanel()->devicePixelRatioF();
    EXPECT_EQ(image.width(), qRound(panel.width() * ratio));
    EXPECT_GT(image.height(), qRound(panel.height() * ratio));
    QSvgRenderer renderer(QString::fromStdString(svg));
    EXPECT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox().width(), panel.width());
    EXPECT_GT(renderer.viewBox().height(), panel.height());
    // The whole of 検証 is titled with its K and bet type.
    const std::string document = ReadAll(svg);
    const std::size_t open = document.find("<title>") + 7;
    const std::string title = document.substr(open, document.find("</title>") - open);
    const std::string bet = window->BetSelector()->currentText().toStdString();
    EXPECT_NE(title.find("検証　上位 1、収支 " + bet), std::string::npos) << title;

    // Two tables, each a file of its own: the positions at the chosen path,
    // the 収支 of the bet type beside it; every figure a plain number.
    const std::vector<std::vector<std::string>> rows = CsvRows(ReadAll(csv));
    const std::vector<std::vector<std::string>> money =
        CsvRows(ReadAll(dir.File("verify-収支-" + bet + ".csv")));
    const QTableWidget& shown = *window->Verify()->Table();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0][0], "位");
    EXPECT_EQ(rows[0].size(), static_cast<std::size_t>(shown.columnCount()));
    ASSERT_EQ(money.size(), 4u);
    EXPECT_EQ(money[0][0], "買う番号");
    const std::vector<std::string> backtest = {"backtest", SampleInputs().path, "--bet",
                                               "straight", "--format",          "json"};
    const json expected = json::parse(CliOutput(backtest));
    for (int p = 0; p < 4; ++p) {
        const json& position = expected["positions"][p];
        const std::vector<std::string>& row = rows[p + 1];
        EXPECT_EQ(row[0], position["label"].get<std::string>());
        std::vector<double> numbers;
        for (std::size_t c = 1; c < row.size(); ++c) numbers.push_back(Number(row[c]));
        EXPECT_EQ(numbers[0], position["evaluated"].get<double>());
        EXPECT_EQ(numbers[1], position["hits"][0].get<double>());
        EXPECT_EQ(numbers[2], shown.item(p, 3)->data(Qt::UserRole).toDouble());
        EXPECT_EQ(numbers[3], position["ci95"][0].get<double>());
    }
    for (std::size_t r = 1; r < money.size(); ++r) {
        for (std::size_t c = 1; c < money[r].size(); ++c) {
            if (!money[r][c].empty()) (void)Number(money[r][c]);
        }
    }
    EXPECT_EQ(json::parse(ReadAll(jsonPath)), expected);
    EXPECT_EQ(ReadAll(jsonPath), CliOutput(backtest));

    // Cancelled: nothing written. Unwritable: an error box.
    EXPECT_FALSE(window->ExportCsv());
    services.AnswerSaveDialog(QString::fromStdString(dir.File("missing/dir/x.csv")));
    EXPECT_FALSE(window->ExportCsv());
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].icon, BoxIcon::Error);
    // The box says why, after the path.
    const QStringList lines = services.boxes[0].text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_FALSE(lines[1].isEmpty());
}

TEST_F(AnalysisTest, SizeTabAndKLastInTheSessionTheirOwnerHolds) {
    OpenAndWait(SampleInputs(), AnalysisTab::Randomness);
    window->resize(1300, 1000);
    window->TopSelector()->setValue(3);
    window.reset();
    AnalysisWindow again(services, session);
    EXPECT_EQ(again.size(), QSize(1300, 1000));
    EXPECT_EQ(again.CurrentTab(), AnalysisTab::Randomness);
    EXPECT_EQ(again.TopSelector()->value(), 3);
    AnalysisSession fresh;  // another owner starts from the defaults
    AnalysisWindow other(services, fresh);
    EXPECT_EQ(other.size(), AnalysisSession{}.size);
    EXPECT_EQ(other.CurrentTab(), AnalysisTab::Detail);
}

class AnalysisMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog = std::make_unique<CPendulaDlg>(services, [](QWidget* owner) {
            return std::unique_ptr<QDialog>(std::make_unique<CAboutDlg>(owner));
        });
    }
    RecordingServices services;
    std::unique_ptr<CPendulaDlg> dialog;
};

TEST_F(AnalysisMenuTest, TheMenuSitsBetweenTheTwoMenus) {
    const QList<QAction*> menus = dialog->MenuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("ﾌｧｲﾙ(&F)"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("分析(&N)"));
    EXPECT_EQ(menus[2]->text(), QStringLiteral("履歴(&H)"));
    EXPECT_EQ(menus[3]->text(), QStringLiteral("ヘルプ"));
    const QList<QAction*> items = menus[1]->menu()->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0], dialog->MenuCommand(id::kAnalysisDetail));
    EXPECT_EQ(items[0]->text(), QStringLiteral("予想の詳細(&D)..."));
    EXPECT_EQ(items[1]->text(), QStringLiteral("予想の検証(&V)..."));
    EXPECT_EQ(items[2]->text(), QStringLiteral("全設定の比較(&C)..."));
    EXPECT_EQ(items[3]->text(), QStringLiteral("乱数性の検定(&R)..."));
    EXPECT_EQ(items[4]->text(), QStringLiteral("買い目(&T)..."));
}

TEST_F(AnalysisMenuTest, NoHistoryShowsTheFailureBoxAndOpensNothing) {
    dialog->MenuCommand(id::kAnalysisVerify)->trigger();
    ASSERT_EQ(services.boxes.size(), 1u);
    const FailureBox expected = FailureBoxFor(PredictStatus::NoPath);
    EXPECT_EQ(services.boxes[0].text, expected.text);
    EXPECT_EQ(services.boxes[0].caption, expected.caption);
    EXPECT_EQ(services.boxes[0].ownerAtCall, dialog.get());
    EXPECT_EQ(dialog->Analysis(), nullptr);
}

TEST_F(AnalysisMenuTest, EachCommandOpensOneWindowOnItsTab) {
    services.AnswerFileDialog(QString::fromStdString(SampleHistoryPath()));
    qobject_cast<QAbstractButton*>(dialog->GetDlgItem(id::kSelect))->click();
    services.boxes.clear();
    const std::pair<int, AnalysisTab> commands[] = {
        {id::kAnalysisRandomness, AnalysisTab::Randomness},
        {id::kAnalysisDetail, AnalysisTab::Detail},
        {id::kAnalysisVerify, AnalysisTab::Verify},
        {id::kAnalysisTickets, AnalysisTab::Tickets},
    };
    AnalysisWindow* first = nullptr;
    for (const auto& [command, tab] : commands) {
        dialog->MenuCommand(command)->trigger();
        AnalysisWindow* window = dialog->Analysis();
        ASSERT_NE(window, nullptr);
        if (first == nullptr) first = window;
        EXPECT_EQ(window, first);  // raised, not another one
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isModal());
        EXPECT_EQ(window->CurrentTab(), tab);
        EXPECT_EQ(window->Inputs().interval, 15u);
        EXPECT_EQ(window->Inputs().filter, FilterKind::Lpf);
        EXPECT_EQ(window->Inputs().drawNumber, 6501);
        QSignalSpy ended(window, &AnalysisWindow::RunEnded);
        if (window->IsRunning()) {
            ASSERT_TRUE(ended.wait(60000));
        }
    }
    EXPECT_TRUE(services.boxes.empty());
    EXPECT_EQ(first->Detail()->PositionSelector()->count(), 4);
}

}  // namespace
}  // namespace corvalith::testing
