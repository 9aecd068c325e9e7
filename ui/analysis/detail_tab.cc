// The spectra are drawn over bins 0 .. n/2 (the power spectrum of a real
// series is symmetric); a peak in the upper half is marked at its mirror bin.
// The view starts on the lowest bins that hold every peak, where the ranking
// is decided; 全範囲 widens it to every bin. One chart with a shared scale
// keeps the ten peaks comparable at a glance.
// The power axis is logarithmic, its floor a millionth of the highest peak;
// smaller values (also zeros) are drawn on the floor. Every other value is
// the detail's own, so the chart holds the JSON's scores.
#include "ui/analysis/detail_tab.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "report/position_names.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/chart_panel.h"
#include "ui/analysis/chart_style.h"
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
    m_fullRange = new QCheckBox(QStringLiteral("全範囲(&F)"), this);
    m_fullRange->setToolTip(QStringLiteral("すべての周波数ビンを表示します"));
    top->addWidget(m_fullRange);
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
    connect(m_fullRange, &QCheckBox::toggled, this, [this] {
        for (QAbstractAxis* axis : SpectrumChart()->axes(Qt::Horizontal)) {
            if (auto* bins = qobject_cast<QValueAxis*>(axis)) ShowBinRange(*bins);
        }
    });
    Clear();
}

QChart* DetailTab::SpectrumChart() const { return m_spectra->chart(); }
QChart* DetailTab::ScoreChart() const { return m_scores->chart(); }

void DetailTab::ShowBinRange(QValueAxis& axis) const {
    axis.setRange(0, m_fullRange->isChecked() ? m_bins : m_peakBins);
    SetNiceTicks(axis, 10, QStringLiteral("%d"));
}

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
    peaks->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    peaks->setMarkerSize(13);
    peaks->setColor(QColor(128, 128, 128));
    peaks->setBorderColor(QColor(128, 128, 128));
    std::size_t bins = 1;
    std::size_t highestPeakBin = 0;
    double highest = 0;
    for (const double score : forecast.scores) highest = std::max(highest, score);
    const double floor = highest > 0 ? highest * 1e-6 : 1e-6;
    std::vector<QPointF> peakPoints;
    for (int d = 0; d < kDigits; ++d) {
        const std::vector<double>& power = forecast.spectra[d];
        const std::size_t n = power.size();
        const std::size_t half = n / 2;
        bins = std::max(bins, half);
        auto* line = Line(QString::number(d), DigitColour(d), 1.5);
        for (std::size_t k = 0; k <= half && k < n; ++k) {
            line->append(double(k), std::max(floor, power[k]));
        }
        spectra->addSeries(line);
        ShowTipOnHover(*line, [d, power](QPointF at) {
            const auto k = static_cast<std::size_t>(std::clamp(
                std::lround(at.x()), 0L, static_cast<long>(power.empty() ? 0 : power.size() - 1)));
            return QStringLiteral("数字 %1　ビン %2　パワー %3")
                .arg(d)
                .arg(k)
                .arg(power.empty() ? 0.0 : power[k], 0, 'g', 6);
        });
        if (n == 0) continue;
        const auto at = std::max_element(power.begin(), power.end());
        std::size_t bin = static_cast<std::size_t>(at - power.begin());
        if (bin > half) bin = n - bin;
        highestPeakBin = std::max(highestPeakBin, bin);
        peaks->append(double(bin), forecast.scores[d]);
        peaks->setPointConfiguration(peaks->count() - 1, QXYSeries::PointConfiguration::Color,
                                     DigitColour(d));
        peakPoints.emplace_back(double(bin), double(d));
    }
    spectra->addSeries(peaks);
    ShowTipOnHover(*peaks, [peakPoints, scores = forecast.scores](QPointF at) {
        // The digit whose peak is nearest to the pointer (peaks may share a bin).
        QString text;
        double nearest = INFINITY;
        for (const QPointF& peak : peakPoints) {
            const int d = static_cast<int>(peak.y());
            const double distance =
                std::abs(peak.x() - at.x()) + std::abs(std::log(std::max(scores[d], 1e-300)) -
                                                       std::log(std::max(at.y(), 1e-300)));
            if (distance >= nearest) continue;
            nearest = distance;
            text = QStringLiteral("数字 %1 のピーク　ビン %2　スコア %3")
                       .arg(d)
                       .arg(peak.x())
                       .arg(scores[d], 0, 'g', 6);
        }
        return text;
    });
    m_bins = double(bins);
    // The lowest bins that hold every peak, with a little room on the right.
    m_peakBins = std::min(m_bins, std::max(8.0, std::ceil(double(highestPeakBin) * 1.2) + 2));
    auto* binAxis = new QValueAxis;
    binAxis->setTitleText(QStringLiteral("周波数ビン"));
    spectra->addAxis(binAxis, Qt::AlignBottom);
    ShowBinRange(*binAxis);
    auto* powerAxis = new QLogValueAxis;
    powerAxis->setTitleText(QStringLiteral("正規化パワー（対数）"));
    powerAxis->setLabelFormat(QStringLiteral("%.0e"));
    powerAxis->setRange(floor, highest > 0 ? highest * 2 : 1.0);
    spectra->addAxis(powerAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : spectra->series()) {
        series->attachAxis(binAxis);
        series->attachAxis(powerAxis);
    }
    spectra->legend()->setAlignment(Qt::AlignRight);

    // One bar set per digit, each with its score in the digit's rank and
    // nothing elsewhere: stacked, every bar has its digit's colour.
    QStringList digits;
    for (const int d : forecast.ranking) digits << QString::number(d);
    auto* bars = new QStackedBarSeries;
    for (int d = 0; d < kDigits; ++d) {
        auto* set = new QBarSet(QString::number(d));
        set->setColor(DigitColour(d));
        set->setBorderColor(DigitColour(d));
        for (const int ranked : forecast.ranking) set->append(ranked == d ? forecast.scores[d] : 0);
        ShowTipOnHover(*set, [d, set](int rank) {
            return QStringLiteral("数字 %1　%2 位　スコア %3")
                .arg(d)
                .arg(rank + 1)
                .arg(set->at(rank), 0, 'g', 6);
        });
        bars->append(set);
    }
    scores->addSeries(bars);
    auto* digitAxis = new QBarCategoryAxis;
    digitAxis->setTitleText(QStringLiteral("数字（順位順）"));
    digitAxis->append(digits);
    auto* scoreAxis = new QValueAxis;
    scoreAxis->setTitleText(QStringLiteral("スコア"));
    scoreAxis->setRange(0, highest > 0 ? highest * 1.05 : 1.0);
    SetNiceTicks(*scoreAxis, 6, QStringLiteral("%.3g"));
    scores->addAxis(digitAxis, Qt::AlignBottom);
    scores->addAxis(scoreAxis, Qt::AlignLeft);
    bars->attachAxis(digitAxis);
    bars->attachAxis(scoreAxis);
    scores->legend()->hide();
    ReplaceChart(*m_spectra, spectra);
    ReplaceChart(*m_scores, scores);
}

}  // namespace corvalith
