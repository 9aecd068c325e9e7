// The spectra are drawn over bins 0 .. n/2 (the power spectrum of a real
// series is symmetric); a peak in the upper half is marked at its mirror bin.
// The view starts on the lowest bins that hold every peak, where the ranking
// is decided; 全範囲 widens it to every bin. One chart with a shared scale
// keeps the ten peaks comparable at a glance.
// The power axis is logarithmic and starts on the power of ten a decade below
// the lowest value drawn (none below a millionth of the highest peak);
// smaller values (also zeros) are drawn on its start. Every other value is
// the detail's own, so the chart holds the JSON's scores.
#include "ui/analysis/detail_tab.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "report/position_names.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/chart_panel.h"
#include "ui/analysis/chart_style.h"
#include "ui/analysis/nice_ticks.h"
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
    // Each digit's peak bin and score beside the spectra: a peak at bin 0
    // sits on the power axis, where its mark alone is hard to see.
    m_peaks = new QTableWidget(m_charts);
    SetUpTable(*m_peaks,
               {QStringLiteral("数字"), QStringLiteral("ピークのビン"), QStringLiteral("スコア")});
    FitRows(*m_peaks, kDigits);
    // Sized to its contents when filled (below), as a whole.
    m_peaks->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_peaks->horizontalHeader()->setStretchLastSection(false);
    m_peaks->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    charts->addWidget(m_spectra, 3);
    charts->addWidget(m_peaks, 0, Qt::AlignTop);
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

void DetailTab::ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                           const TabChoices& /*choices*/) {
    m_result = result;
    Redraw();
}

QString DetailTab::PictureWhat(const TabChoices& /*choices*/) const {
    return QStringLiteral("　") + m_position->currentText();
}

QString DetailTab::Legend(const TabChoices& /*choices*/) const {
    return QStringLiteral(
        "線: 数字 0〜9 それぞれのパワースペクトル（横は周波数ビン、縦は正規化パワー、"
        "数字ごとに色を分ける）。ピーク: 各数字のスペクトルの最大点（その数字の色の三角）。"
        "棒: 各数字のスコアを順位の順に並べたもの。");
}

void DetailTab::Clear() {
    m_result.reset();
    Redraw();
}

namespace {

// The bin of digit `d`'s highest power, folded into 0 .. n/2 (0 when none).
std::size_t PeakBin(const std::vector<double>& power) {
    const std::size_t n = power.size();
    if (n == 0) return 0;
    const auto bin =
        static_cast<std::size_t>(std::max_element(power.begin(), power.end()) - power.begin());
    return bin > n / 2 ? n - bin : bin;
}

// The lowest power the spectra draw (every positive value, none below a
// millionth of `highest`): the power axis starts a decade below it.
double LowestDrawn(const PositionForecast& forecast, double highest) {
    const double limit = highest > 0 ? highest * 1e-6 : 1e-6;
    double lowest = highest > 0 ? highest : 1.0;
    for (const std::vector<double>& power : forecast.spectra) {
        for (std::size_t k = 0; k <= power.size() / 2 && k < power.size(); ++k) {
            if (power[k] > 0) lowest = std::min(lowest, power[k]);
        }
    }
    return std::max(lowest, limit);
}

// The power axis from `floor` to above `highest`, and beside it (sharing its
// place) the axis that labels its decades as 0.1, 0.01, 10⁻³.
void AttachPowerAxes(QChart& chart, double floor, double highest) {
    const double top = highest > 0 ? highest * 2 : 1.0;
    auto* power = new QLogValueAxis;
    power->setRange(floor, top);
    power->setVisible(false);
    chart.addAxis(power, Qt::AlignLeft);
    auto* decades = new QCategoryAxis;
    decades->setTitleText(QStringLiteral("正規化パワー（対数）"));
    decades->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    decades->setRange(std::log10(floor), std::log10(top));
    for (int e = static_cast<int>(std::ceil(std::log10(floor) - 1e-9));
         e <= static_cast<int>(std::floor(std::log10(top) + 1e-9)); ++e) {
        decades->append(QString::fromStdString(DecadeLabel(e)), e);
    }
    chart.addAxis(decades, Qt::AlignLeft);
    for (QAbstractSeries* series : chart.series()) series->attachAxis(power);
}

}  // namespace

QChart* DetailTab::MakeSpectrumChart(const PositionForecast& forecast) {
    auto* spectra = new QChart;
    spectra->setTitle(QStringLiteral("各数字のパワースペクトル"));
    double highest = 0;
    for (const double score : forecast.scores) highest = std::max(highest, score);
    const double floor = DecadeBelow(LowestDrawn(forecast, highest));
    std::size_t bins = 1;
    std::size_t highestPeakBin = 0;
    auto* peaks = new QScatterSeries;
    peaks->setName(QStringLiteral("ピーク"));
    peaks->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    peaks->setMarkerSize(13);
    peaks->setColor(QColor(128, 128, 128));
    peaks->setBorderColor(QColor(128, 128, 128));
    std::vector<QPointF> peakPoints;
    for (int d = 0; d < kDigits; ++d) {
        const std::vector<double>& power = forecast.spectra[d];
        const std::size_t n = power.size();
        bins = std::max(bins, n / 2);
        auto* line = Line(QString::number(d), DigitColour(d), 1.5);
        for (std::size_t k = 0; k <= n / 2 && k < n; ++k) {
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
        const std::size_t bin = PeakBin(power);
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
    // Before the bin axis, so that a peak at bin 0 shows whole right of the power axis.
    AttachPowerAxes(*spectra, floor, highest);
    auto* binAxis = new QValueAxis;
    binAxis->setTitleText(QStringLiteral("周波数ビン"));
    spectra->addAxis(binAxis, Qt::AlignBottom);
    ShowBinRange(*binAxis);
    for (QAbstractSeries* series : spectra->series()) series->attachAxis(binAxis);
    spectra->legend()->setAlignment(Qt::AlignRight);
    return spectra;
}

QChart* DetailTab::MakeScoreChart(const PositionForecast& forecast) {
    auto* scores = new QChart;
    scores->setTitle(QStringLiteral("スコア（順位順）"));
    double highest = 0;
    for (const double score : forecast.scores) highest = std::max(highest, score);
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
    return scores;
}

void DetailTab::FillPeakTable(const PositionForecast* forecast) {
    m_peaks->setRowCount(forecast ? kDigits : 0);
    for (int d = 0; forecast != nullptr && d < kDigits; ++d) {
        const std::size_t bin = PeakBin(forecast->spectra[d]);
        const double score = forecast->scores[d];
        auto* digit = new NumberItem(QString::number(d), d);
        digit->setForeground(DigitColour(d));
        m_peaks->setItem(d, 0, digit);
        m_peaks->setItem(d, 1, new NumberItem(QString::number(bin), double(bin)));
        m_peaks->setItem(d, 2, new NumberItem(QString::number(score, 'g', 6), score));
    }
    // As wide as its columns, so that no header or figure is cut.
    m_peaks->resizeColumnsToContents();
    QHeaderView& header = *m_peaks->horizontalHeader();
    int width = 2 * m_peaks->frameWidth();
    for (int c = 0; c < m_peaks->columnCount(); ++c) {
        header.resizeSection(c, std::max(header.sectionSize(c), header.sectionSizeHint(c)));
        width += header.sectionSize(c);
    }
    m_peaks->setFixedWidth(width);
}

void DetailTab::Redraw() {
    const auto* detail = m_result ? std::get_if<DetailResult>(m_result.get()) : nullptr;
    const int p = std::max(0, m_position->currentIndex());
    const PositionForecast* forecast = detail ? &detail->detail.positions[p] : nullptr;
    m_text->setText(forecast ? ToQString(forecast->text) : QString());
    if (forecast == nullptr || !forecast->ranked) {
        auto* spectra = new QChart;
        spectra->setTitle(QStringLiteral("各数字のパワースペクトル"));
        auto* scores = new QChart;
        scores->setTitle(QStringLiteral("スコア（順位順）"));
        ReplaceChart(*m_spectra, spectra);
        ReplaceChart(*m_scores, scores);
        FillPeakTable(nullptr);
        return;
    }
    ReplaceChart(*m_spectra, MakeSpectrumChart(*forecast));
    ReplaceChart(*m_scores, MakeScoreChart(*forecast));
    FillPeakTable(forecast);
}

}  // namespace corvalith
