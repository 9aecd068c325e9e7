// Each tab's charts and tables hold the numbers of the command line's JSON
// for the same history and setting, and its verdict is the text report's.
#include <QAbstractAxis>
#include <QAbstractBarSeries>
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QComboBox>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "tests/support/history_files.h"
#include "tests/ui/analysis_fixture.h"
#include "ui/analysis/detail_tab.h"
#include "ui/analysis/nice_ticks.h"
#include "ui/analysis/randomness_tab.h"
#include "ui/analysis/sweep_tab.h"
#include "ui/analysis/verify_tab.h"

namespace corvalith::testing {
namespace {

using nlohmann::json;

template <typename T>
T* SeriesNamed(QChart* chart, const QString& name) {
    for (QAbstractSeries* series : chart->series()) {
        if (series->name() == name) return qobject_cast<T*>(series);
    }
    return nullptr;
}

QValueAxis* ValueAxis(QChart* chart, Qt::Orientation orientation) {
    for (QAbstractAxis* axis : chart->axes(orientation)) {
        if (auto* value = qobject_cast<QValueAxis*>(axis); value && value->isVisible())
            return value;
    }
    return nullptr;
}

double Cell(const QTableWidget& table, int row, int column) {
    return table.item(row, column)->data(Qt::UserRole).toDouble();
}

json Json(const std::optional<std::string>& text) {
    EXPECT_TRUE(text.has_value());
    return json::parse(text.value_or("null"));
}

TEST_F(AnalysisTest, DetailChartsAreThePredictJson) {
    const AnalysisInputs inputs = SampleInputs();
    OpenAndWait(inputs, AnalysisTab::Detail);
    // The window's JSON is the command line's, byte for byte.
    const std::string cli =
        CliOutput({"predict", inputs.path, "--draw", "6501", "--format", "json"});
    ASSERT_EQ(window->CurrentJson().value_or(""), cli);
    const json expected = json::parse(cli);
    for (int p = 0; p < 4; ++p) {
        SCOPED_TRACE(p);
        window->Detail()->SelectPosition(p);
        const json& position = expected["positions"][p];
        QChart* spectra = window->Detail()->SpectrumChart();
        ASSERT_EQ(spectra->series().size(), 11);  // ten digits and the peaks
        auto* peaks = SeriesNamed<QScatterSeries>(spectra, QStringLiteral("ピーク"));
        ASSERT_NE(peaks, nullptr);
        ASSERT_EQ(peaks->count(), 10);
        double highest = 0;
        for (int d = 0; d < 10; ++d) {
            const double score = position["scores"][d].get<double>();
            highest = std::max(highest, score);
            EXPECT_EQ(peaks->at(d).y(), score);
            // The peak is the largest point of the digit's own line.
            auto* line = SeriesNamed<QLineSeries>(spectra, QString::number(d));
            ASSERT_NE(line, nullptr);
            double top = 0;
            for (const QPointF& point : line->points()) top = std::max(top, point.y());
            EXPECT_LE(top, score);
            EXPECT_GE(top, score * (1 - 1e-12));
            EXPECT_EQ(line->at(0).x(), 0.0);
        }
        auto* power = qobject_cast<QLogValueAxis*>(spectra->axes(Qt::Vertical).front());
        ASSERT_NE(power, nullptr);
        EXPECT_GE(power->max(), highest);
        // A decade below the lowest value drawn (none below a millionth of the
        // highest), on a power of ten.
        double lowest = highest;
        for (int d = 0; d < 10; ++d) {
            const auto* line = SeriesNamed<QLineSeries>(spectra, QString::number(d));
            for (const QPointF& point : line->points()) {
                if (point.y() > power->min()) lowest = std::min(lowest, point.y());
            }
        }
        lowest = std::max(lowest, highest * 1e-6);
        EXPECT_LE(power->min(), lowest / 10 * (1 + 1e-9));
        EXPECT_GT(power->min(), lowest / 100);
        EXPECT_NEAR(std::log10(power->min()), std::round(std::log10(power->min())), 1e-9);
        // Its ticks read 0.1, 0.01, 10⁻³ at the decades.
        auto* decades = qobject_cast<QCategoryAxis*>(spectra->axes(Qt::Vertical).back());
        ASSERT_NE(decades, nullptr);
        ASSERT_GE(decades->count(), 2);
        for (const QString& label : decades->categoriesLabels()) {
            const auto exponent = static_cast<int>(std::lround(decades->endValue(label)));
            EXPECT_EQ(label.toStdString(), DecadeLabel(exponent));
        }
        // The peaks' table: each digit's peak bin and score.
        const QTableWidget& table = *window->Detail()->PeakTable();
        ASSERT_EQ(table.rowCount(), 10);
        for (int d = 0; d < 10; ++d) {
            EXPECT_EQ(Cell(table, d, 1), peaks->at(d).x());
            EXPECT_EQ(Cell(table, d, 2), position["scores"][d].get<double>());
        }
        EXPECT_EQ(ValueAxis(spectra, Qt::Horizontal)->min(), 0.0);

        // The bars: the scores in ranked order, the digits as categories, one
        // set per digit that holds its score at its rank alone.
        QChart* scores = window->Detail()->ScoreChart();
        auto* bars = qobject_cast<QAbstractBarSeries*>(scores->series().front());
        ASSERT_NE(bars, nullptr);
        ASSERT_EQ(bars->count(), 10);
        auto* categories = qobject_cast<QBarCategoryAxis*>(scores->axes(Qt::Horizontal).front());
        for (int r = 0; r < 10; ++r) {
            const int digit = position["ranking"][r].get<int>();
            EXPECT_EQ(categories->at(r), QString::number(digit));
            for (int d = 0; d < 10; ++d) {
                QBarSet* set = bars->barSets()[d];
                ASSERT_EQ(set->count(), 10);
                EXPECT_EQ(set->label(), QString::number(d));
                EXPECT_EQ(set->at(r), d == digit ? position["scores"][digit].get<double>() : 0.0);
            }
        }
    }
}

TEST_F(AnalysisTest, VerifyChartsAndTableAreTheBacktestJsonForEachK) {
    const AnalysisInputs inputs = SampleInputs();
    OpenAndWait(inputs, AnalysisTab::Verify);
    window->BetSelector()->setCurrentIndex(0);  // straight
    for (const int top : {1, 3, 5}) {
        SCOPED_TRACE(top);
        window->TopSelector()->setValue(top);
        ASSERT_FALSE(window->IsRunning());  // every K from the one record
        const std::string k = std::to_string(top);
        const std::string cli = CliOutput(
            {"backtest", inputs.path, "--top", k, "--bet", "straight", "--format", "json"});
        ASSERT_EQ(window->CurrentJson().value_or(""), cli);
        const json expected = json::parse(cli);
        const QTableWidget& table = *window->Verify()->Table();
        ASSERT_EQ(table.rowCount(), 4);
        for (int p = 0; p < 4; ++p) {
            const json& position = expected["positions"][p];
            const double evaluated = position["evaluated"].get<double>();
            const double hits = position["hits"][top - 1].get<double>();
            EXPECT_EQ(Cell(table, p, 1), evaluated);
            EXPECT_EQ(Cell(table, p, 2), hits);
            EXPECT_EQ(Cell(table, p, 3), position["rate"].get<double>());
            EXPECT_EQ(Cell(table, p, 4), position["ci95"][0].get<double>());
            EXPECT_EQ(Cell(table, p, 5), position["ci95"][1].get<double>());
            EXPECT_EQ(Cell(table, p, 6), position["p_value"].get<double>());
            EXPECT_EQ(Cell(table, p, 7), position["mean_rank"].get<double>());
            EXPECT_EQ(Cell(table, p, 8),
                      position["baselines"]["hot"]["hits"][top - 1].get<double>());
            EXPECT_EQ(Cell(table, p, 9),
                      position["baselines"]["cold"]["hits"][top - 1].get<double>());

            // The cumulative line ends on the table's rate, at the last draw.
            QChart* chart = window->Verify()->PositionChart(p);
            auto* rate = SeriesNamed<QLineSeries>(chart, QStringLiteral("予想"));
            auto* hot = SeriesNamed<QLineSeries>(chart, QStringLiteral("ホット"));
            auto* chance = SeriesNamed<QLineSeries>(chart, QStringLiteral("偶然 K/10"));
            ASSERT_TRUE(rate && hot && chance);
            ASSERT_GT(rate->count(), 1);
            EXPECT_LE(rate->count(), static_cast<int>(kMaxLinePoints) + 2);
            EXPECT_DOUBLE_EQ(rate->points().back().y(), hits / evaluated);
            EXPECT_DOUBLE_EQ(
                hot->points().back().y(),
                position["baselines"]["hot"]["hits"][top - 1].get<double>() / evaluated);
            EXPECT_EQ(rate->points().back().x(), expected["history"]["last_draw"].get<double>());
            EXPECT_EQ(rate->points().front().x(), expected["first_evaluated_draw"].get<double>());
            for (const QPointF& point : chance->points()) EXPECT_DOUBLE_EQ(point.y(), top / 10.0);
            // The band narrows around chance as draws accumulate.
            auto* band = SeriesNamed<QAreaSeries>(chart, QStringLiteral("偶然の 95% 範囲"));
            ASSERT_NE(band, nullptr);
            const auto upper = band->upperSeries()->points();
            EXPECT_GT(upper.front().y(), upper.back().y());
            EXPECT_GT(upper.back().y(), top / 10.0);
            QValueAxis* x = ValueAxis(chart, Qt::Horizontal);
            EXPECT_EQ(x->min(), expected["first_evaluated_draw"].get<double>());
            EXPECT_EQ(x->max(), expected["history"]["last_draw"].get<double>());
            QValueAxis* y = ValueAxis(chart, Qt::Vertical);
            EXPECT_LE(y->min(), top / 10.0);
            EXPECT_GE(y->max(), top / 10.0);
        }
        const std::string text = CliOutput({"backtest", inputs.path, "--top", k});
        EXPECT_EQ(window->Verify()->Verdict().toStdString(), LastLine(text));
    }
}

TEST_F(AnalysisTest, SweepTableIsTheSweepJsonAndOpensARowInVerify) {
    const AnalysisInputs inputs = SampleInputs();
    window->TopSelector()->setValue(2);
    OpenAndWait(inputs, AnalysisTab::Sweep);
    const std::string cli = CliOutput({"sweep", inputs.path, "--top", "2", "--format", "json"});
    ASSERT_EQ(window->CurrentJson().value_or(""), cli);
    const json expected = json::parse(cli);
    QTableWidget& table = *window->Sweep()->Table();
    ASSERT_EQ(table.rowCount(), 63 * 4);
    // Sorted by rate, descending: the first row is the JSON's best.
    table.sortItems(kSweepRate, Qt::DescendingOrder);
    EXPECT_EQ(Cell(table, 0, kSweepRate), expected["best"]["rate"].get<double>());
    for (int row = 0; row < table.rowCount(); ++row) {
        const evaluate::Setting setting = window->Sweep()->SettingOfRow(row);
        const auto p = static_cast<std::size_t>(Cell(table, row, kSweepPosition));
        const auto entry = std::find_if(
            expected["settings"].begin(), expected["settings"].end(), [&](const json& e) {
                return e["setting"]["filter"] == std::string(NameOf(setting.filter)) &&
                       e["setting"]["interval"] == setting.interval &&
                       e["setting"]["fft"] == std::string(NameOf(setting.fft));
            });
        ASSERT_NE(entry, expected["settings"].end());
        const json& position = (*entry)["positions"][p];
        EXPECT_EQ(Cell(table, row, kSweepRate), position["rate"].get<double>());
        EXPECT_EQ(Cell(table, row, kSweepLow), position["ci95"][0].get<double>());
        EXPECT_EQ(Cell(table, row, kSweepHigh), position["ci95"][1].get<double>());
        EXPECT_EQ(Cell(table, row, kSweepP), position["p_value"].get<double>());
        EXPECT_EQ(Cell(table, row, kSweepHolm), position["p_holm"].get<double>());
        EXPECT_GE(Cell(table, row, kSweepHolm), Cell(table, row, kSweepP));
    }
    EXPECT_EQ(window->Sweep()->Verdict().toStdString(),
              LastLine(CliOutput({"sweep", inputs.path, "--top", "2"})));

    // A row's double click opens its setting in 検証.
    table.sortItems(kSweepRate, Qt::DescendingOrder);
    const evaluate::Setting best = window->Sweep()->SettingOfRow(0);
    emit table.cellDoubleClicked(0, 0);
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(window->CurrentTab(), AnalysisTab::Verify);
    EXPECT_EQ(window->Inputs().filter, best.filter);
    EXPECT_EQ(window->Inputs().interval, best.interval);
    EXPECT_EQ(window->Inputs().fft, best.fft);
    const json backtest = Json(window->CurrentJson());
    EXPECT_EQ(backtest["setting"], expected["best"]["setting"]);
}

TEST_F(AnalysisTest, RandomnessChartsAndTableAreTheRandomnessJson) {
    const AnalysisInputs inputs = SampleInputs();
    OpenAndWait(inputs, AnalysisTab::Randomness);
    const std::string cli = CliOutput({"randomness", inputs.path, "--format", "json"});
    ASSERT_EQ(window->CurrentJson().value_or(""), cli);
    const json expected = json::parse(cli);
    std::vector<double> pValues;
    for (int p = 0; p < 4; ++p) {
        const json& position = expected["positions"][p];
        QChart* chart = window->Randomness()->CountChart(p);
        // One set per digit: its count minus the expected count, at its own
        // category alone.
        auto* bars = qobject_cast<QAbstractBarSeries*>(chart->series().front());
        ASSERT_NE(bars, nullptr);
        ASSERT_EQ(bars->count(), 10);
        double total = 0;
        for (int d = 0; d < 10; ++d) total += position["counts"][d].get<double>();
        double widest = 0;
        for (int d = 0; d < 10; ++d) {
            QBarSet* set = bars->barSets()[d];
            for (int c = 0; c < 10; ++c) {
                EXPECT_EQ(set->at(c),
                          c == d ? position["counts"][d].get<double>() - total / 10 : 0.0);
            }
            widest = std::max(widest, std::abs(set->at(d)));
        }
        auto* expectedLine = SeriesNamed<QLineSeries>(chart, QStringLiteral("期待値"));
        ASSERT_NE(expectedLine, nullptr);
        for (const QPointF& point : expectedLine->points()) EXPECT_EQ(point.y(), 0.0);
        // Chance's band: 1.96 standard deviations of a binomial count, p = 1/10.
        auto* band = SeriesNamed<QAreaSeries>(chart, QStringLiteral("偶然の 95% 範囲"));
        ASSERT_NE(band, nullptr);
        const double half = 1.959963984540054 * std::sqrt(total * 0.1 * 0.9);
        for (const QPointF& point : band->upperSeries()->points())
            EXPECT_NEAR(point.y(), half, 1e-6);
        for (const QPointF& point : band->lowerSeries()->points())
            EXPECT_NEAR(point.y(), -half, 1e-6);
        QValueAxis* axis = ValueAxis(chart, Qt::Vertical);
        EXPECT_GE(axis->max(), std::max(widest, half));
        EXPECT_LE(axis->min(), -std::max(widest, half));
        pValues.push_back(position["p_value"].get<double>());
    }
    for (int p = 0; p < 4; ++p) {
        pValues.push_back(expected["positions"][p]["serial"]["p_value"].get<double>());
        pValues.push_back(expected["positions"][p]["repeat"]["p_value"].get<double>());
    }
    for (const json& pair : expected["pairs"]) pValues.push_back(pair["p_value"].get<double>());
    const QTableWidget& table = *window->Randomness()->Table();
    ASSERT_EQ(table.rowCount(), static_cast<int>(pValues.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        EXPECT_EQ(Cell(table, row, 3), pValues[row]) << row;
        EXPECT_FALSE(table.item(row, kRandomnessReading)->text().isEmpty());
    }
    EXPECT_EQ(Cell(table, 0, 1), expected["positions"][0]["chi2"].get<double>());
    EXPECT_EQ(Cell(table, 5, 1), expected["positions"][0]["repeat"]["repeats"].get<double>());
    EXPECT_EQ(window->Randomness()->Verdict().toStdString(),
              LastLine(CliOutput({"randomness", inputs.path})));
}

}  // namespace
}  // namespace corvalith::testing
