// The tests are listed in the text report's order (RandomnessTests), so the
// rows and the verdict count the same tests.
#include "ui/analysis/randomness_tab.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "report/position_names.h"
#include "report/randomness_reading.h"
#include "report/text_report.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/chart_panel.h"

namespace corvalith {
namespace {

QChart* CountsChart(const evaluate::PositionRandomness& r, const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    auto* set = new QBarSet(QStringLiteral("出現回数"));
    std::uint64_t total = 0, most = 0;
    QStringList digits;
    for (int d = 0; d < 10; ++d) {
        set->append(double(r.counts[d]));
        total += r.counts[d];
        most = std::max(most, r.counts[d]);
        digits << QString::number(d);
    }
    auto* bars = new QBarSeries;
    bars->append(set);
    chart->addSeries(bars);
    const double expected = double(total) / 10.0;
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("期待値"));
    line->append(-0.5, expected);
    line->append(9.5, expected);
    QPen pen(Qt::red);
    pen.setWidthF(2);
    pen.setStyle(Qt::DashLine);
    line->setPen(pen);
    chart->addSeries(line);
    auto* digitAxis = new QBarCategoryAxis;
    digitAxis->append(digits);
    digitAxis->setTitleText(QStringLiteral("数字"));
    auto* lineAxis = new QValueAxis;  // the same span as the categories, for the line
    lineAxis->setRange(-0.5, 9.5);
    lineAxis->setVisible(false);
    auto* countAxis = new QValueAxis;
    countAxis->setTitleText(QStringLiteral("回数"));
    countAxis->setRange(0, std::max(1.0, double(most) * 1.15));
    chart->addAxis(digitAxis, Qt::AlignBottom);
    chart->addAxis(lineAxis, Qt::AlignBottom);
    chart->addAxis(countAxis, Qt::AlignLeft);
    bars->attachAxis(digitAxis);
    bars->attachAxis(countAxis);
    line->attachAxis(lineAxis);
    line->attachAxis(countAxis);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

}  // namespace

RandomnessTab::RandomnessTab(WindowServices* services, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    m_charts = MakePositionGrid(m_views, services, this);
    layout->addWidget(m_charts, 3);
    m_table = new QTableWidget(this);
    SetUpTable(*m_table,
               {QStringLiteral("検定"), QStringLiteral("統計量"), QStringLiteral("自由度"),
                QStringLiteral("p値"), QStringLiteral("読み方")});
    layout->addWidget(m_table, 2);
    m_verdict = new QLabel(this);
    m_verdict->setWordWrap(true);
    layout->addWidget(m_verdict);
    Clear();
}

QChart* RandomnessTab::CountChart(int position) const { return m_views[position]->chart(); }

QString RandomnessTab::Verdict() const { return m_verdict->text(); }

void RandomnessTab::Clear() {
    for (QChartView* view : m_views) ReplaceChart(*view, new QChart);
    m_table->setRowCount(0);
    m_verdict->clear();
}

void RandomnessTab::Show(const std::shared_ptr<const AnalysisResult>& result) {
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
        m_table->setItem(row, 4, new QTableWidgetItem(FromUtf8(rows[i].reading)));
    }
    m_verdict->setText(FromUtf8(RandomnessVerdict(r)).trimmed());
}

}  // namespace corvalith
