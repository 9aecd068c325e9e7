// The tests are listed in the text report's order (RandomnessTests), so the
// rows and the verdict count the same tests. The table is as tall as its 18
// rows; the count charts share what is left.
#include "ui/analysis/randomness_tab.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "evaluate/statistics.h"
#include "report/position_names.h"
#include "report/randomness_reading.h"
#include "report/text_report.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/chart_panel.h"
#include "ui/analysis/chart_style.h"

namespace corvalith {
namespace {

QChart* CountsChart(const evaluate::PositionRandomness& r, const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    std::uint64_t total = 0;
    for (const std::uint64_t count : r.counts) total += count;
    const double expected = double(total) / 10.0;
    // Each count is binomial with p = 1/10 under the hypothesis of fair digits.
    const double sigma = std::sqrt(double(total) * 0.1 * 0.9);
    const double band = evaluate::kZ95 * sigma;
    double widest = band;
    QStringList digits;
    // One set per digit holding its deviation at its own category alone, so
    // that stacked, every bar has its digit's colour.
    auto* bars = new QStackedBarSeries;
    for (int d = 0; d < 10; ++d) {
        const double deviation = double(r.counts[d]) - expected;
        widest = std::max(widest, std::abs(deviation));
        digits << QString::number(d);
        auto* set = new QBarSet(QString::number(d));
        set->setColor(DigitColour(d));
        set->setBorderColor(DigitColour(d));
        for (int c = 0; c < 10; ++c) set->append(c == d ? deviation : 0.0);
        const std::uint64_t count = r.counts[d];
        ShowTipOnHover(*set, [d, count, expected, sigma](int) {
            const double deviation = double(count) - expected;
            return QStringLiteral("数字 %1　出現 %2 回　期待値 %3 回　差 %4（%5 σ）")
                .arg(d)
                .arg(count)
                .arg(expected, 0, 'f', 1)
                .arg(deviation, 0, 'f', 1)
                .arg(sigma > 0 ? deviation / sigma : 0.0, 0, 'f', 2);
        });
        bars->append(set);
    }
    bars->setBarWidth(0.7);
    chart->addSeries(bars);
    // The band does not own its boundary lines; the chart does.
    auto* upper = new QLineSeries(chart);
    auto* lower = new QLineSeries(chart);
    upper->append(-0.5, band);
    upper->append(9.5, band);
    lower->append(-0.5, -band);
    lower->append(9.5, -band);
    auto* area = new QAreaSeries(upper, lower);
    area->setName(QStringLiteral("偶然の 95% 範囲"));
    area->setColor(QColor(128, 128, 128, 70));
    area->setBorderColor(QColor(128, 128, 128));
    chart->addSeries(area);
    auto* line = Line(QStringLiteral("期待値"), QColor(128, 128, 128), 1.5, Qt::DashLine);
    line->append(-0.5, 0);
    line->append(9.5, 0);
    chart->addSeries(line);
    auto* digitAxis = new QBarCategoryAxis;
    digitAxis->append(digits);
    digitAxis->setTitleText(QStringLiteral("数字"));
    auto* lineAxis = new QValueAxis;  // the same span as the categories, for the band
    lineAxis->setRange(-0.5, 9.5);
    lineAxis->setVisible(false);
    auto* deviationAxis = new QValueAxis;
    deviationAxis->setTitleText(QStringLiteral("差（回）"));
    const double reach = std::max(1.0, widest * 1.15);
    deviationAxis->setRange(-reach, reach);
    SetNiceTicks(*deviationAxis, 5, QStringLiteral("%d"));
    chart->addAxis(digitAxis, Qt::AlignBottom);
    chart->addAxis(lineAxis, Qt::AlignBottom);
    chart->addAxis(deviationAxis, Qt::AlignLeft);
    bars->attachAxis(digitAxis);
    bars->attachAxis(deviationAxis);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(area), static_cast<QAbstractSeries*>(line)}) {
        series->attachAxis(lineAxis);
        series->attachAxis(deviationAxis);
    }
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(2, 0, 2, 0));
    // The digits are the categories below; the legend names the band and the line.
    for (QLegendMarker* marker : chart->legend()->markers(bars)) marker->setVisible(false);
    return chart;
}

}  // namespace

RandomnessTab::RandomnessTab(WindowServices* services, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The count charts above and the tests below share the height; the divider moves.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setChildrenCollapsible(false);
    m_charts = MakePositionGrid(m_views, services, split);
    auto* tests = new QWidget(split);
    auto* lower = new QVBoxLayout(tests);
    lower->setContentsMargins(0, 0, 0, 0);
    m_table = new QTableWidget(tests);
    SetUpTable(*m_table, {QStringLiteral("検定"), QStringLiteral("統計量"),
                          QStringLiteral("自由度"), QStringLiteral("p値"),
                          QStringLiteral("有意（%1 水準）").arg(FromUtf8(SignificanceLevelText())),
                          QStringLiteral("読み方")});
    // The reading column takes the width that is left, so no scroll bar is
    // needed across; the rows scroll when the charts take most of the height.
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setMinimumHeight(m_table->horizontalHeader()->sizeHint().height() +
                              4 * m_table->verticalHeader()->defaultSectionSize());
    lower->addWidget(m_table, 1);
    m_verdict = new QLabel(tests);
    m_verdict->setWordWrap(true);
    lower->addWidget(m_verdict);
    split->addWidget(m_charts);
    split->addWidget(tests);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split);
    Clear();
}

QChart* RandomnessTab::CountChart(int position) const { return m_views[position]->chart(); }

QString RandomnessTab::Verdict() const { return m_verdict->text(); }

void RandomnessTab::Clear() {
    for (QChartView* view : m_views) ReplaceChart(*view, new QChart);
    m_table->setRowCount(0);
    m_verdict->clear();
}

QString RandomnessTab::Legend(const TabChoices& /*choices*/) const {
    return QStringLiteral(
        "棒: 各位で数字 0〜9 が出た回数から期待値（どの数字も同じ確率で出るときの回数）を"
        "引いた差。灰色の帯: 偶然の 95% 範囲（±1.96 "
        "σ）。帯を越える棒は偶然では出にくい偏り。");
}

void RandomnessTab::ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                               const TabChoices& /*choices*/) {
    const auto* tab = result ? std::get_if<RandomnessTabResult>(result.get()) : nullptr;
    if (tab == nullptr) return Clear();
    const evaluate::RandomnessResult& r = tab->result;
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        ReplaceChart(*m_views[p],
                     CountsChart(r.positions[p], FromUtf8(std::string(kPositionLabels[p]))));
    }
    // Statistic, df (-1: none) and reading of each test, in RandomnessTests order.
    struct Row {
        double statistic;
        int df;
        std::string reading;
    };
    std::vector<Row> rows;
    for (const auto& position : r.positions) {
        rows.push_back(
            {position.frequency.chi2, position.frequency.df, FrequencyReading(position.frequency)});
    }
    for (const auto& position : r.positions) {
        rows.push_back({position.serial.chi2, position.serial.df, SerialReading(position.serial)});
        rows.push_back(
            {double(position.repeats), -1,
             RepeatReading(position.repeats, position.repeatTrials, position.repeatPValue)});
    }
    for (const auto& pair : r.pairs) {
        rows.push_back({pair.test.chi2, pair.test.df, PairReading(pair.test)});
    }
    const std::vector<NamedTest> tests = RandomnessTests(r);
    m_table->setRowCount(static_cast<int>(tests.size()));
    for (std::size_t i = 0; i < tests.size() && i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        const bool repeat = rows[i].df < 0;
        m_table->setItem(row, 0, new QTableWidgetItem(FromUtf8(tests[i].name)));
        m_table->setItem(row, 1,
                         new NumberItem(repeat ? QStringLiteral("同じ %1 回").arg(rows[i].statistic)
                                               : FromUtf8(Fixed(rows[i].statistic, 2)),
                                        rows[i].statistic));
        m_table->setItem(
            row, 2, new NumberItem(repeat ? QString() : QString::number(rows[i].df), rows[i].df));
        auto* p = new NumberItem(FromUtf8(PValue(tests[i].pValue)), tests[i].pValue);
        if (tests[i].pValue < evaluate::kSignificance) PaintCell(*p, SignificantColour());
        m_table->setItem(row, 3, p);
    }
    // Significant rows in bold with a ＊ in their own column, so that they
    // stand out without their colour.
    for (std::size_t i = 0; i < tests.size(); ++i) {
        const int row = static_cast<int>(i);
        const bool significant = tests[i].pValue < evaluate::kSignificance;
        m_table->setItem(row, kRandomnessSignificant,
                         new QTableWidgetItem(significant ? QStringLiteral("＊") : QString()));
        m_table->setItem(row, kRandomnessReading, new QTableWidgetItem(FromUtf8(rows[i].reading)));
        if (!significant) continue;
        for (int column = 0; column < m_table->columnCount(); ++column) {
            QTableWidgetItem* item = m_table->item(row, column);
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
    }
    m_verdict->setText(FromUtf8(RandomnessVerdict(r)).trimmed());
}

}  // namespace corvalith
