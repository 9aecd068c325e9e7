// What the analysis window's charts look like and how they answer the
// pointer: the digit colours, the peaks in view, tooltips, legend toggles,
// the palette's colours.
#include <QAbstractBarSeries>
#include <QApplication>
#include <QAreaSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QHeaderView>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTableWidget>
#include <QToolTip>
#include <QValueAxis>
#include <cmath>

#include "tests/support/history_files.h"
#include "tests/ui/analysis_fixture.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/analysis/detail_tab.h"
#include "ui/analysis/digit_palette.h"
#include "ui/analysis/nice_ticks.h"
#include "ui/analysis/randomness_tab.h"
#include "ui/analysis/verify_tab.h"

namespace corvalith::testing {
namespace {

QColor Palette(int digit) {
    const Rgb& c = kDigitColours[static_cast<std::size_t>(digit)];
    return {c.r, c.g, c.b};
}

QValueAxis* BinAxis(QChart* chart) {
    return qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front());
}

class ChartLookTest : public AnalysisTest {};

TEST_F(ChartLookTest, DetailSeriesTakeTheDigitColoursAndTheViewHoldsEveryPeak) {
    OpenAndWait(SampleInputs(), AnalysisTab::Detail);
    for (int p = 0; p < 4; ++p) {
        SCOPED_TRACE(p);
        window->Detail()->SelectPosition(p);
        QChart* spectra = window->Detail()->SpectrumChart();
        QScatterSeries* peaks = nullptr;
        for (QAbstractSeries* series : spectra->series()) {
            if (auto* line = qobject_cast<QLineSeries*>(series);
                line && series->type() == QAbstractSeries::SeriesTypeLine) {
                EXPECT_EQ(line->pen().color(), Palette(line->name().toInt()))
                    << line->name().toStdString();
            }
            if (auto* scatter = qobject_cast<QScatterSeries*>(series)) peaks = scatter;
        }
        ASSERT_NE(peaks, nullptr);
        EXPECT_EQ(peaks->markerShape(), QScatterSeries::MarkerShapeTriangle);
        QValueAxis* bins = BinAxis(spectra);
        ASSERT_NE(bins, nullptr);
        double highestBin = 0;
        for (int d = 0; d < 10; ++d) {
            const auto configuration = peaks->pointConfiguration(d);
            EXPECT_EQ(configuration.value(QXYSeries::PointConfiguration::Color).value<QColor>(),
                      Palette(d));
            EXPECT_GE(peaks->at(d).x(), bins->min());
            EXPECT_LE(peaks->at(d).x(), bins->max());
            highestBin = std::max(highestBin, peaks->at(d).x());
        }
        // Not the whole spectrum when the peaks lie low.
        const auto* digitLine = qobject_cast<QLineSeries*>(spectra->series().front());
        const double lastBin = digitLine->points().back().x();
        if (highestBin * 2 < lastBin) {
            EXPECT_LT(bins->max(), lastBin);
        }
        window->Detail()->FullRangeBox()->setChecked(true);
        EXPECT_EQ(BinAxis(window->Detail()->SpectrumChart())->max(), lastBin);
        window->Detail()->FullRangeBox()->setChecked(false);
        EXPECT_LE(BinAxis(window->Detail()->SpectrumChart())->max(),
                  std::max(lastBin, highestBin * 1.2 + 10));

        auto* bars = qobject_cast<QAbstractBarSeries*>(window->Detail()->ScoreChart()->series()[0]);
        ASSERT_NE(bars, nullptr);
        for (QBarSet* set : bars->barSets()) EXPECT_EQ(set->color(), Palette(set->label().toInt()));
    }
}

TEST_F(ChartLookTest, HoveringALineOrABarSaysDigitBinAndValue) {
    OpenAndWait(SampleInputs(), AnalysisTab::Detail);
    window->show();
    QChart* spectra = window->Detail()->SpectrumChart();
    auto* three = qobject_cast<QLineSeries*>(spectra->series()[3]);
    ASSERT_NE(three, nullptr);
    const QPointF point = three->at(4);
    emit three->hovered(QPointF(point.x() + 0.2, point.y()), true);
    const QString tip = QToolTip::text();
    EXPECT_TRUE(tip.contains(QStringLiteral("数字 3"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("ビン 4"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QString::number(point.y(), 'g', 6))) << tip.toStdString();
    emit three->hovered(point, false);

    auto* bars = qobject_cast<QAbstractBarSeries*>(window->Detail()->ScoreChart()->series()[0]);
    QBarSet* set = nullptr;
    int rank = -1;
    for (QBarSet* candidate : bars->barSets()) {
        for (int r = 0; r < candidate->count(); ++r) {
            if (candidate->at(r) > 0) set = candidate, rank = r;
        }
        if (set) break;
    }
    ASSERT_NE(set, nullptr);
    emit set->hovered(true, rank);
    const QString barTip = QToolTip::text();
    EXPECT_TRUE(barTip.contains(QStringLiteral("数字 ") + set->label())) << barTip.toStdString();
    EXPECT_TRUE(barTip.contains(QStringLiteral("%1 位").arg(rank + 1))) << barTip.toStdString();
    EXPECT_TRUE(barTip.contains(QString::number(set->at(rank), 'g', 6))) << barTip.toStdString();
    emit set->hovered(false, rank);
}

TEST_F(ChartLookTest, ClickingALegendEntryHidesAndShowsItsSeries) {
    OpenAndWait(SampleInputs(), AnalysisTab::Detail);
    QChart* spectra = window->Detail()->SpectrumChart();
    QAbstractSeries* five = spectra->series()[5];
    const QList<QLegendMarker*> markers = spectra->legend()->markers(five);
    ASSERT_EQ(markers.size(), 1);
    ASSERT_TRUE(five->isVisible());
    emit markers.front()->clicked();
    EXPECT_FALSE(five->isVisible());
    EXPECT_TRUE(markers.front()->isVisible());  // still there to click again
    for (QAbstractSeries* other : spectra->series()) {
        if (other != five) {
            EXPECT_TRUE(other->isVisible());
        }
    }
    emit markers.front()->clicked();
    EXPECT_TRUE(five->isVisible());
}

TEST_F(ChartLookTest, ChartsFollowTheTextAndBaseColoursOfTheirPalette) {
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::Text, QColor(235, 235, 235));
    dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
    for (const QPalette& palette : {QApplication::palette(), dark}) {
        window->setPalette(palette);
        OpenAndWait(SampleInputs(), AnalysisTab::Detail);
        window->Detail()->SelectPosition(1);  // drawn anew under this palette
        for (QChart* chart : {window->Detail()->SpectrumChart(), window->Detail()->ScoreChart()}) {
            EXPECT_EQ(chart->backgroundBrush().color(), palette.color(QPalette::Base));
            EXPECT_EQ(chart->titleBrush().color(), palette.color(QPalette::Text));
            EXPECT_EQ(chart->legend()->labelColor(), palette.color(QPalette::Text));
            for (QAbstractAxis* axis : chart->axes()) {
                EXPECT_EQ(axis->labelsColor(), palette.color(QPalette::Text));
                EXPECT_EQ(axis->titleBrush().color(), palette.color(QPalette::Text));
            }
        }
    }
}

TEST_F(ChartLookTest, VerifyShowsRatesInPerCentAndDrawsAs回OnOneTwoFiveTicks) {
    OpenAndWait(SampleInputs(), AnalysisTab::Verify);
    window->show();
    const QTableWidget& table = *window->Verify()->Table();
    ASSERT_EQ(table.rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        for (const int column : {3, 4, 5}) {
            // The text is the rate in per cent; the number behind it the rate.
            const QTableWidgetItem* item = table.item(row, column);
            const double rate = item->data(Qt::UserRole).toDouble();
            QString text = item->text();
            ASSERT_TRUE(text.endsWith(QLatin1Char('%'))) << text.toStdString();
            text.chop(1);
            bool number = false;
            const double percent = text.toDouble(&number);
            ASSERT_TRUE(number) << text.toStdString();
            const int decimals = static_cast<int>(text.size() - text.indexOf('.') - 1);
            EXPECT_NEAR(percent, rate * 100, 0.5 * std::pow(10.0, -decimals) + 1e-9);
        }
    }
    // Every column as wide as its content: the last one does not take the rest.
    const QHeaderView& header = *table.horizontalHeader();
    EXPECT_FALSE(header.stretchLastSection());
    EXPECT_LE(header.sectionSize(9), header.sectionSizeHint(9) + 30);

    for (int p = 0; p < 4; ++p) {
        QChart* chart = window->Verify()->PositionChart(p);
        auto* rates = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Vertical).front());
        ASSERT_NE(rates, nullptr);
        ASSERT_GE(rates->count(), 3);
        QList<double> values;
        for (const QString& label : rates->categoriesLabels()) {
            ASSERT_TRUE(label.endsWith(QLatin1Char('%'))) << label.toStdString();
            const double value = rates->endValue(label);
            EXPECT_NEAR(label.chopped(1).toDouble(), value * 100, 1e-9);
            EXPECT_GE(value, rates->min() - 1e-12);
            EXPECT_LE(value, rates->max() + 1e-12);
            values << value * 100;
        }
        const Ticks ticks = NiceTicks(rates->min() * 100, rates->max() * 100, 5);
        for (int i = 0; i < values.size(); ++i) {
            EXPECT_NEAR(values[i], ticks.first + i * ticks.step, 1e-9);
        }
        auto* draws = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).front());
        ASSERT_NE(draws, nullptr);
        const Ticks drawTicks = NiceTicks(draws->min(), draws->max(), 5);
        const QStringList labels = draws->categoriesLabels();
        ASSERT_GE(labels.size(), 2);
        for (int i = 0; i < labels.size(); ++i) {
            const double draw = drawTicks.first + i * drawTicks.step;
            EXPECT_EQ(labels[i], QString::number(draw, 'f', 0) + QStringLiteral("回"));
            EXPECT_EQ(draws->endValue(labels[i]), draw);
        }
    }
}

TEST_F(ChartLookTest, RandomnessMarksTheSignificantTestsInTheirOwnColumn) {
    // The thousands digit is 7 in every fourth draw: its frequency test (and
    // the tests that involve it) fail, the others mostly do not.
    std::vector<std::string> results = RandomResults(800, 11);
    for (std::size_t i = 0; i < results.size(); i += 4) results[i][0] = '7';
    AnalysisInputs inputs = SampleInputs();
    inputs.path = dir.Write("biased.csv", MakeHistory(results));
    OpenAndWait(inputs, AnalysisTab::Randomness);
    window->show();
    // As a new window opens: the session's default size, or the least the
    // tabs need when that is more.
    EXPECT_EQ(window->size(), AnalysisSession{}.size.expandedTo(window->minimumSizeHint()));
    QApplication::processEvents();
    const QTableWidget& table = *window->Randomness()->Table();
    ASSERT_EQ(table.rowCount(), kRandomnessRows);
    int significant = 0;
    for (int row = 0; row < table.rowCount(); ++row) {
        const bool marked = table.item(row, kRandomnessSignificant)->text() == QStringLiteral("＊");
        const bool p = table.item(row, 3)->data(Qt::UserRole).toDouble() < 0.05;
        EXPECT_EQ(marked, p) << row;
        for (int column = 0; column < table.columnCount(); ++column) {
            EXPECT_EQ(table.item(row, column)->font().bold(), p) << row << " " << column;
        }
        significant += p ? 1 : 0;
    }
    EXPECT_GE(significant, 1);
    EXPECT_LT(significant, kRandomnessRows);
    // The thousands' 7 stands far outside the band; its bar is its deviation.
    QChart* chart = window->Randomness()->CountChart(0);
    auto* bars = qobject_cast<QAbstractBarSeries*>(chart->series().front());
    ASSERT_NE(bars, nullptr);
    auto* band = qobject_cast<QAreaSeries*>(chart->series()[1]);
    ASSERT_NE(band, nullptr);
    EXPECT_GT(bars->barSets()[7]->at(7), 2 * band->upperSeries()->at(0).y());
    for (QBarSet* set : bars->barSets()) EXPECT_EQ(set->color(), Palette(set->label().toInt()));
}

}  // namespace
}  // namespace corvalith::testing
