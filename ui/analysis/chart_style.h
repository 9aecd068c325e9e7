// How the analysis window's charts look and answer the pointer: the digit
// colours, the palette's text and base colours, 1-2-5 ticks, per-cent and 回
// axes, tooltips on hover and legend entries that show or hide their series.
#pragma once

#include <QColor>
#include <QPointF>
#include <QString>
#include <functional>

class QBarSet;
class QCategoryAxis;
class QChart;
class QPalette;
class QValueAxis;
class QXYSeries;

namespace corvalith {

// Digit `digit`'s colour (digit_palette.h).
[[nodiscard]] QColor DigitColour(int digit);

// Background from the palette's base, titles, axes, grid and legend from its
// text colour.
void FollowPalette(QChart& chart, const QPalette& palette);

// Every legend entry of `chart` shows or hides its series when clicked; a
// hidden series' entry is drawn faded.
void ToggleSeriesFromLegend(QChart& chart);

// At most `most` ticks on 1-2-5 values of the axis's current range, which
// stays as it is; labels in `format` (printf style, e.g. "%d回").
void SetNiceTicks(QValueAxis& axis, int most, const QString& format);

// A horizontal axis over the draws [first, last] labelled "N回" on 1-2-5
// values (at most `most`), titled 回. (A label format cannot carry 回.)
[[nodiscard]] QCategoryAxis* DrawAxis(double first, double last, int most);

// A vertical axis over the fractions [low, high] labelled in per cent on
// 1-2-5 values (at most `most`), titled `title`.
[[nodiscard]] QCategoryAxis* PercentAxis(double low, double high, int most, const QString& title);

// While the pointer is on `series`, a tooltip says `text` of the point under it.
void ShowTipOnHover(QXYSeries& series, std::function<QString(QPointF)> text);
// While the pointer is on a bar of `set`, a tooltip says `text` of its index.
void ShowTipOnHover(QBarSet& set, std::function<QString(int)> text);

// The point of `series` (its x ascending) nearest to `x`; (0, 0) when empty.
[[nodiscard]] QPointF NearestPoint(const QXYSeries& series, double x);

// The fraction as the reports print rates ("12.34%").
[[nodiscard]] QString PercentText(double fraction);

}  // namespace corvalith
