// A chart view whose context menu saves the chart alone as PNG or SVG
// through the window services' save-file dialog, under the labels the
// window holding it gives (ExportLabelSource).
#pragma once

#include <QChartView>
#include <QColor>
#include <QLineSeries>
#include <array>
#include <functional>

#include "ui/analysis/chart_export.h"

namespace corvalith {

class WindowServices;

// A window that names what its charts show: the labels of a picture of
// `chart` (of its whole chart panel when null).
class ExportLabelSource {
  public:
    [[nodiscard]] virtual ExportLabels LabelsFor(const QChart* chart) const = 0;

  protected:
    ExportLabelSource() = default;
    ExportLabelSource(const ExportLabelSource&) = default;
    ExportLabelSource& operator=(const ExportLabelSource&) = default;
    ~ExportLabelSource() = default;
};

// The labels for a picture of `view`'s chart: from the nearest ExportLabelSource
// among the view and its parents, else the chart's title alone.
[[nodiscard]] ExportLabels LabelsOf(const QChartView& view);

// Writes a file at `path`; false when it cannot, with the reason in `why`.
using FileWriter = std::function<bool(const QString& path, QString* why)>;

// The save-as steps shared by every export: asks `services` for a path
// (`what` names the file kind, `pattern` like "*.png"), runs `write`, and
// shows an error box that says why when writing failed. False when
// cancelled or failed.
bool ExportThroughDialog(WindowServices& services, QWidget* owner, const QString& what,
                         const QString& pattern, const QString& suggestedName,
                         const FileWriter& write);

// A new chart view for `chart` (taken over) with the save entries in its
// context menu (none when `services` is null); `services` must outlive it.
[[nodiscard]] QChartView* MakeChartView(QChart* chart, WindowServices* services, QWidget* parent);

// One empty chart view per position in a 2×2 grid (thousands, hundreds on
// top; tens, ones below) on a new child of `parent`, which it returns.
[[nodiscard]] QWidget* MakePositionGrid(std::array<QChartView*, 4>& views, WindowServices* services,
                                        QWidget* parent);

// A new line series named `name`, drawn in `colour` at `width` pixels.
[[nodiscard]] QLineSeries* Line(const QString& name, const QColor& colour, qreal width,
                                Qt::PenStyle style = Qt::SolidLine);

// Puts `x` below and `y` left of `chart` (both taken over), attaches every
// series to them, and sets the legend on the right and narrow margins.
void AttachAxes(QChart& chart, QAbstractAxis* x, QAbstractAxis* y);

// Shows `chart` (taken over) in `view` in the view's palette colours, with
// legend entries that show or hide their series, and deletes the chart it showed.
void ReplaceChart(QChartView& view, QChart* chart);

}  // namespace corvalith
