// The save entries of a chart's context menu.
#include "ui/analysis/chart_panel.h"

#include <QAbstractAxis>
#include <QAction>
#include <QChart>
#include <QGridLayout>
#include <QLegend>
#include <QPen>

#include "commands/messages.h"
#include "ui/analysis/chart_export.h"
#include "ui/analysis/chart_style.h"
#include "ui/qt_text.h"
#include "ui/window_services.h"

namespace corvalith {

bool ExportThroughDialog(WindowServices& services, QWidget* owner, const QString& what,
                         const QString& pattern, const QString& suggestedName,
                         const FileWriter& write) {
    const std::optional<QString> path = services.GetSaveFileName(
        owner, what + QStringLiteral("の保存"), FileFilter{what, pattern}, suggestedName);
    if (!path) return false;
    QString why;
    if (write(*path, &why)) return true;
    QString text = QStringLiteral("%1 に書き込めませんでした。").arg(*path);
    if (!why.isEmpty()) text += QStringLiteral("\n") + why;
    services.MessageBox(owner, text, ToQString(kErrorCaption), BoxIcon::Error);
    return false;
}

ExportLabels LabelsOf(const QChartView& view) {
    for (const QWidget* widget = &view; widget != nullptr; widget = widget->parentWidget()) {
        if (const auto* source = dynamic_cast<const ExportLabelSource*>(widget)) {
            return source->LabelsFor(view.chart());
        }
    }
    return {view.chart()->title(), {}};
}

QWidget* MakePositionGrid(std::array<QChartView*, 4>& views, WindowServices* services,
                          QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int p = 0; p < 4; ++p) {
        views[p] = MakeChartView(new QChart, services, panel);
        grid->addWidget(views[p], p / 2, p % 2);
    }
    return panel;
}

void ReplaceChart(QChartView& view, QChart* chart) {
    QChart* old = view.chart();
    FollowPalette(*chart, view.palette());
    ToggleSeriesFromLegend(*chart);
    view.setChart(chart);
    delete old;
}

QChartView* MakeChartView(QChart* chart, WindowServices* services, QWidget* parent) {
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(240, 150);
    if (services == nullptr) return view;
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* png = new QAction(QStringLiteral("PNG で保存(&P)..."), view);
    auto* svg = new QAction(QStringLiteral("SVG で保存(&S)..."), view);
    view->addAction(png);
    view->addAction(svg);
    QObject::connect(png, &QAction::triggered, view, [view, services] {
        (void)ExportThroughDialog(*services, view, QStringLiteral("PNG 画像"),
                                  QStringLiteral("*.png"), QStringLiteral("chart.png"),
                                  [view](const QString& path, QString* why) {
                                      return SavePng(*view, path, LabelsOf(*view), why);
                                  });
    });
    QObject::connect(svg, &QAction::triggered, view, [view, services] {
        (void)ExportThroughDialog(*services, view, QStringLiteral("SVG 画像"),
                                  QStringLiteral("*.svg"), QStringLiteral("chart.svg"),
                                  [view](const QString& path, QString* why) {
                                      return SaveSvg(*view, path, LabelsOf(*view), why);
                                  });
    });
    return view;
}

QLineSeries* Line(const QString& name, const QColor& colour, qreal width, Qt::PenStyle style) {
    auto* line = new QLineSeries;
    line->setName(name);
    QPen pen(colour);
    pen.setWidthF(width);
    pen.setStyle(style);
    line->setPen(pen);
    return line;
}

void AttachAxes(QChart& chart, QAbstractAxis* x, QAbstractAxis* y) {
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart.series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
    chart.legend()->setAlignment(Qt::AlignRight);
    chart.setMargins(QMargins(4, 4, 4, 4));
}

}  // namespace corvalith
