// The spectra are drawn over bins 0 .. n/2 (the power spectrum of a real
// series is symmetric); a peak in the upper half is marked at its mirror bin.
// The power axis is logarithmic, its floor a millionth of the highest peak;
// smaller values (also zeros) are drawn on the floor. Every other value is
// the detail's own, so the chart holds the JSON's scores.
#include "ui/analysis/detail_tab.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "report/position_names.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/chart_panel.h"
#include "ui/qt_text.h"

namespace corvalith {

DetailTab::DetailTab(WindowServices* services, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_position = new QComboBox(this);
    for (const auto label : kPositionLabels) m_position->addItem(FromUtf8(std::string(label)));
    auto* positionLabel = new QLabel(QStringLiteral("位(&P):"), this);
    positionLabel->setBuddy(m_position);
    top->addWidget(positionLabel);
    top->addWidget(m_position);
    m_text = new QLabel(this);
    top->addWidget(m_text, 1);
    layout->addLayout(top);
    m_charts = new QWidget(this);
    auto* charts = new QHBoxLayout(m_charts);
    charts->setContentsMargins(0, 0, 0, 0);
    m_spectra = MakeChartView(new QChart, services, m_charts);
    m_scores = MakeChartView(new QChart, services, m_charts);
    charts->addWidget(m_spectra, 3);
    charts->addWidget(m_scores, 2);
    layout->addWidget(m_charts, 1);
    connect(m_position, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
    Clear();
}

QChart* DetailTab::SpectrumChart() const { return m_spectra->chart(); }
QChart* DetailTab::ScoreChart() const { return m_scores->chart(); }

void DetailTab::SelectPosition(int position) { m_position->setCurrentIndex(position); }

void DetailTab::Show(std::shared_ptr<const AnalysisResult> result) {
    m_result = std::move(result);
    Redraw();
}

void DetailTab::Clear() {
    m_result.reset();
    Redraw();
}

void DetailTab::Redraw() {
    QChart* spectra = new QChart;
    QChart* scores = new QChart;
    spectra->setTitle(QStringLiteral("各数字のパワースペクトル"));
    scores->setTitle(QStringLiteral("スコア（順位順）"));
    const auto* detail = m_result ? std::get_if<DetailResult>(m_result.get()) : nullptr;
    const int p = std::max(0, m_position->currentIndex());
    if (detail == nullptr || !detail->detail.positions[p].ranked) {
        m_text->setText(detail ? ToQString(detail->detail.positions[p].text) : QString());
        ReplaceChart(*m_spectra, spectra);
        ReplaceChart(*m_scores, scores);
        return;
    }
    const PositionForecast& forecast = detail->detail.positions[p];
    m_text->setText(ToQString(forecast.text));

    auto* peaks = new QScatterSeries;
    peaks->setName(QStringLiteral("ピーク"));
    peaks->setMarkerSize(9);
    std::size_t bins = 1;
    double highest = 0;
    for (const double score : forecast.scores) highest = std::max(highest, score);
    const double floor = highest > 0 ? highest * 1e-6 : 1e-6;
    for (int d = 0; d < kDigits; ++d) {
        const std::vector<double>& power = forecast.spectra[d];
        const std::size_t n = power.size();
        const std::size_t half = n / 2;
        bins = std::max(bins, half);
        auto* line = new QLineSeries;
        line->setName(QString::number(d));
        for (std::size_t k = 0; k <= half && k < n; ++k) {
            line->append(double(k), std::max(floor, power[k]));
        }
        spectra->addSeries(line);
        if (n == 0) continue;
        const auto at = std::max_element(power.begin(), power.end());
        std::size_t bin = static_cast<std::size_t>(at - power.begin());
        if (bin > half) bin = n - bin;
        peaks->append(double(bin), forecast.scores[d]);
    }
    spectra->addSeries(peaks);
    auto* binAxis = new QValueAxis;
    binAxis->setTitleText(QStringLiteral("周波数ビン"));
    binAxis->setRange(0, double(bins));
    binAxis->setLabelFormat(QStringLiteral("%d"));
    auto* powerAxis = new QLogValueAxis;
    powerAxis->setTitleText(QStringLiteral("正規化パワー（対数）"));
    powerAxis->setLabelFormat(QStringLiteral("%.0e"));
    powerAxis->setRange(floor, highest > 0 ? highest * 2 : 1.0);
    spectra->addAxis(binAxis, Qt::AlignBottom);
    spectra->addAxis(powerAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : spectra->series()) {
        series->attachAxis(binAxis);
        series->attachAxis(powerAxis);
    }
    spectra->legend()->setAlignment(Qt::AlignRight);

    auto* set = new QBarSet(QStringLiteral("スコア"));
    QStringList digits;
    for (const int d : forecast.ranking) {
        set->append(forecast.scores[d]);
        digits << QString::number(d);
    }
    auto* bars = new QBarSeries;
    bars->append(set);
    scores->addSeries(bars);
    auto* digitAxis = new QBarCategoryAxis;
    digitAxis->setTitleText(QStringLiteral("数字（順位順）"));
    digitAxis->append(digits);
    auto* scoreAxis = new QValueAxis;
    scoreAxis->setTitleText(QStringLiteral("スコア"));
    scoreAxis->setRange(0, highest > 0 ? highest * 1.05 : 1.0);
    scores->addAxis(digitAxis, Qt::AlignBottom);
    scores->addAxis(scoreAxis, Qt::AlignLeft);
    bars->attachAxis(digitAxis);
    bars->attachAxis(scoreAxis);
    scores->legend()->hide();
    ReplaceChart(*m_spectra, spectra);
    ReplaceChart(*m_scores, scores);
}

}  // namespace corvalith
