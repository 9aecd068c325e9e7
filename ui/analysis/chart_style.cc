// The palette is read when a chart is shown (ReplaceChart), so a chart drawn
// after a palette change takes the new colours.
#include "ui/analysis/chart_style.h"

#include <QAbstractAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QLegend>
#include <QLegendMarker>
#include <QPalette>
#include <QToolTip>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>
#include <cmath>

#include "report/text_report.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/digit_palette.h"
#include "ui/analysis/nice_ticks.h"

namespace corvalith {

QColor DigitColour(int digit) {
    const Rgb& c = kDigitColours[static_cast<std::size_t>(digit) % kDigitColours.size()];
    return {c.r, c.g, c.b};
}

void FollowPalette(QChart& chart, const QPalette& palette) {
    const QColor text = palette.color(QPalette::Text);
    QColor grid = text;
    grid.setAlpha(50);
    chart.setBackgroundBrush(palette.base());
    chart.setTitleBrush(text);
    chart.legend()->setLabelColor(text);
    for (QAbstractAxis* axis : chart.axes()) {
        axis->setLabelsColor(text);
        axis->setTitleBrush(text);
        axis->setLinePenColor(text);
        axis->setGridLineColor(grid);
        axis->setMinorGridLineColor(grid);
    }
}

void ToggleSeriesFromLegend(QChart& chart) {
    for (QLegendMarker* marker : chart.legend()->markers()) {
        QObject::connect(marker, &QLegendMarker::clicked, marker, [marker] {
            QAbstractSeries* series = marker->series();
            series->setVisible(!series->isVisible());
            // Hiding a series hides its entry too; keep it, faded, to click again.
            marker->setVisible(true);
            QColor label = marker->labelBrush().color();
            label.setAlphaF(series->isVisible() ? 1.0f : 0.4f);
            marker->setLabelBrush(label);
        });
    }
}

void SetNiceTicks(QValueAxis& axis, int most, const QString& format) {
    const Ticks ticks = NiceTicks(axis.min(), axis.max(), most);
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(ticks.first);
    axis.setTickInterval(ticks.step);
    axis.setLabelFormat(format);
}

QPointF NearestPoint(const QXYSeries& series, double x) {
    const QList<QPointF> points = series.points();
    if (points.isEmpty()) return {};
    const auto after = std::lower_bound(points.begin(), points.end(), x,
                                        [](const QPointF& p, double v) { return p.x() < v; });
    if (after == points.begin()) return *after;
    if (after == points.end()) return points.back();
    const auto before = std::prev(after);
    return x - before->x() <= after->x() - x ? *before : *after;
}

QString PercentText(double fraction) { return FromUtf8(Percent(fraction)); }

namespace {

// An axis over [low, high] with a label at each value.
QCategoryAxis* LabelledAxis(double low, double high, const QString& title) {
    auto* axis = new QCategoryAxis;
    axis->setTitleText(title);
    axis->setRange(low, high);
    axis->setStartValue(low);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    return axis;
}

}  // namespace

QCategoryAxis* DrawAxis(double first, double last, int most) {
    QCategoryAxis* axis = LabelledAxis(first, last, QStringLiteral("回"));
    const Ticks ticks = NiceTicks(first, last, most);
    for (const double value : TickValues(ticks, first, last)) {
        axis->append(QString::number(value, 'f', 0) + QStringLiteral("回"), value);
    }
    return axis;
}

QCategoryAxis* PercentAxis(double low, double high, int most, const QString& title) {
    QCategoryAxis* axis = LabelledAxis(low, high, title);
    const Ticks ticks = NiceTicks(low * 100, high * 100, most);
    const int decimals = ticks.step < 1 ? int(std::ceil(-std::log10(ticks.step))) : 0;
    for (const double value : TickValues(ticks, low * 100, high * 100)) {
        axis->append(QString::number(value, 'f', decimals) + QLatin1Char('%'), value / 100);
    }
    return axis;
}

namespace {

// A tip stays while the pointer rests on its mark: it goes when the pointer
// leaves the mark, not after the few seconds Qt gives a tip by default.
constexpr int kTipMilliseconds = 10 * 60 * 1000;

void ShowTip(const QString& text) {
    QToolTip::showText(QCursor::pos(), text, nullptr, QRect(), kTipMilliseconds);
}

}  // namespace

void ShowTipOnHover(QXYSeries& series, std::function<QString(QPointF)> text) {
    QObject::connect(&series, &QXYSeries::hovered, &series,
                     [text = std::move(text)](const QPointF& point, bool on) {
                         if (on)
                             ShowTip(text(point));
                         else
                             QToolTip::hideText();
                     });
}

void ShowTipOnHover(QBarSet& set, std::function<QString(int)> text) {
    QObject::connect(&set, &QBarSet::hovered, &set, [text = std::move(text)](bool on, int index) {
        if (on)
            ShowTip(text(index));
        else
            QToolTip::hideText();
    });
}

}  // namespace corvalith
