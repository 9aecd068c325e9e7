// The pictures the analysis window saves: an SVG keeps a chart's series
// inside its plot area in any viewer (read back by Qt's renderer and, when
// installed, by rsvg-convert), and both pictures carry their labels.
#include "ui/analysis/chart_export.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QLegend>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QValueAxis>
#include <memory>

#include "tests/support/temp_dir.h"
#include "ui/analysis/chart_panel.h"
#include "ui/analysis/clipping_painter.h"

namespace corvalith::testing {
namespace {

const QColor kSeriesColour(230, 0, 230);

// Close to the series colour: its own pixels and their smoothed edges.
bool SeriesLike(QRgb pixel) {
    return qRed(pixel) > 150 && qBlue(pixel) > 150 && qGreen(pixel) < 110;
}

// A chart whose lines swing ten times past the top and bottom of its axes
// and run past both ends, with no legend (its marker has the series colour).
std::unique_ptr<QChartView> WildChart() {
    auto* chart = new QChart;
    auto* wide = Line(QStringLiteral("wide"), kSeriesColour, 3.0);
    auto* steep = Line(QStringLiteral("steep"), kSeriesColour, 1.0);
    for (int i = -20; i <= 120; ++i) {
        wide->append(i / 10.0, (i % 2 == 0 ? 10.0 : -10.0));
        steep->append(i / 10.0, i / 10.0 - 5.0);
    }
    chart->addSeries(wide);
    chart->addSeries(steep);
    auto* x = new QValueAxis;
    x->setRange(0, 10);
    auto* y = new QValueAxis;
    y->setRange(-1, 1);
    AttachAxes(*chart, x, y);
    chart->legend()->hide();
    auto view = std::unique_ptr<QChartView>(MakeChartView(chart, nullptr, nullptr));
    view->resize(480, 320);
    view->show();
    QApplication::processEvents();
    return view;
}

// The plot area in the view's pixels.
QRect PlotRect(const QChartView& view) {
    const QRectF inScene = view.chart()->mapRectToScene(view.chart()->plotArea());
    return view.mapFromScene(inScene).boundingRect();
}

struct SeriesPixels {
    int inside = 0;
    int outside = 0;
};

// Counts the series-coloured pixels of `image` inside and outside `plot`
// grown by a pixel (the smoothed edge of the cut).
SeriesPixels CountSeriesPixels(const QImage& image, const QRect& plot) {
    const QRect kept = plot.adjusted(-1, -1, 1, 1);
    SeriesPixels count;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!SeriesLike(image.pixel(x, y))) continue;
            ++(kept.contains(x, y) ? count.inside : count.outside);
        }
    }
    return count;
}

QImage RenderSvg(const QString& path, const QSize& size) {
    QSvgRenderer renderer(path);
    EXPECT_TRUE(renderer.isValid());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return image;
}

TEST(ChartExport, WithoutTheCutTheSeriesLeaveThePlotArea) {
    // The check below can see a series outside: the generator on its own
    // writes the lines whole.
    TempDir dir;
    const auto view = WildChart();
    const QString path = QString::fromStdString(dir.File("raw.svg"));
    {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(view->size());
        generator.setViewBox(QRect(QPoint(0, 0), view->size()));
        QPainter painter(&generator);
        view->render(&painter);
    }
    EXPECT_GT(CountSeriesPixels(RenderSvg(path, view->size()), PlotRect(*view)).outside, 100);
}

TEST(ChartExport, AnSvgKeepsTheSeriesInsideThePlotArea) {
    TempDir dir;
    const auto view = WildChart();
    const QString path = QString::fromStdString(dir.File("chart.svg"));
    ASSERT_TRUE(SaveSvg(*view, path));
    const QRect plot = PlotRect(*view);
    ASSERT_TRUE(QRect(QPoint(0, 0), view->size()).contains(plot));
    const SeriesPixels pixels = CountSeriesPixels(RenderSvg(path, view->size()), plot);
    EXPECT_EQ(pixels.outside, 0);
    // Both lines are still there inside: each crosses the plot many times.
    EXPECT_GT(pixels.inside, plot.height() * 10);
}

TEST(ChartExport, AnSvgNamesInstalledFontsAndKeepsEachLabelOneElement) {
    TempDir dir;
    const auto view = WildChart();
    const QString title = QStringLiteral("各数字のパワースペクトル（対数）");
    const QString axis = QStringLiteral("正規化パワー 1 の位");
    view->chart()->setTitle(title);
    view->chart()->axes(Qt::Vertical).front()->setTitleText(axis);
    QApplication::processEvents();
    const QString path = QString::fromStdString(dir.File("labels.svg"));
    ASSERT_TRUE(SaveSvg(*view, path, {QStringLiteral("第6501回の予想　千の位"), {}}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(file.readAll());
    const QStringList installed = QFontDatabase::families();
    static const QRegularExpression element(QStringLiteral("<text\\b[^>]*>([^<]*)</text>"));
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
    QStringList texts;
    int elements = 0;
    for (auto it = element.globalMatch(svg); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        texts << match.captured(1);
        ++elements;
        const QRegularExpressionMatch font = family.match(match.captured(0));
        ASSERT_TRUE(font.hasMatch()) << match.captured(0).toStdString();
        // Each family but the generic one is installed; the first is Qt's own.
        const QStringList families = font.captured(1).split(QStringLiteral(", "));
        ASSERT_GE(families.size(), 2);
        EXPECT_EQ(families.back(), QStringLiteral("sans-serif"));
        for (qsizetype f = 0; f + 1 < families.size(); ++f) {
            QString name = families[f];
            name.remove(QLatin1Char('\''));
            EXPECT_TRUE(installed.contains(name)) << name.toStdString();
        }
    }
    EXPECT_GT(elements, 3);
    EXPECT_FALSE(svg.contains(QStringLiteral("\"Sans Serif\"")));
    // Each Japanese label whole in one element.
    for (const QString& label : {title, axis, QStringLiteral("第6501回の予想　千の位")}) {
        EXPECT_TRUE(texts.contains(label)) << label.toStdString();
    }
    // Tick labels of one axis stay elements of their own.
    EXPECT_TRUE(texts.contains(QStringLiteral("0")) || texts.contains(QStringLiteral("0.0")));
}

TEST(ChartExport, AnSvgIsCutTheSameWayForRsvgConvert) {
    const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
    if (rsvg.isEmpty()) GTEST_SKIP() << "rsvg-convert is not installed";
    TempDir dir;
    const auto view = WildChart();
    const QString svg = QString::fromStdString(dir.File("chart.svg"));
    const QString png = QString::fromStdString(dir.File("chart.png"));
    ASSERT_TRUE(SaveSvg(*view, svg));
    QProcess convert;
    convert.start(rsvg, {QStringLiteral("-w"), QString::number(view->width()), QStringLiteral("-h"),
                         QString::number(view->height()), QStringLiteral("-b"),
                         QStringLiteral("white"), QStringLiteral("-o"), png, svg});
    ASSERT_TRUE(convert.waitForFinished(60000));
    ASSERT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    const QImage image(png);
    ASSERT_EQ(image.size(), view->size());
    const QRect plot = PlotRect(*view);
    const SeriesPixels pixels = CountSeriesPixels(image, plot);
    EXPECT_EQ(pixels.outside, 0);
    EXPECT_GT(pixels.inside, plot.height() * 10);
}

// Shapes, lines and (under a rectangle: pictures are cut to the clip's
// bounds) a picture painted under `clip`: the same strokes and fills
// whether the painter clips or the clipping device cuts them.
void PaintScene(QPainter& painter, const QPainterPath& clip, bool picture) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(10, 5);
    painter.setClipPath(clip);
    painter.setPen(QPen(kSeriesColour, 6));
    painter.drawLine(QPointF(-50, 40), QPointF(250, 160));
    const QPointF zigzag[] = {{0, 0}, {40, 190}, {80, -20}, {120, 190}, {160, 0}};
    painter.drawPolyline(zigzag, 5);
    painter.setBrush(QColor(0, 160, 0));
    painter.drawEllipse(QPointF(150, 100), 70, 40);
    if (!picture) return;
    QImage tile(40, 40, QImage::Format_ARGB32);
    tile.fill(QColor(0, 0, 200));
    painter.drawImage(QRectF(-20, 120, 80, 80), tile);
}

TEST(ClippingDevice, CutsShapesAsThePainterClipsThem) {
    QPainterPath ellipse;
    ellipse.addEllipse(QRectF(20, 20, 140, 110));
    QPainterPath rectangle;
    rectangle.addRect(QRectF(15, 25, 120, 100));
    for (const QPainterPath& clip : {rectangle, ellipse}) {
        const bool picture = clip == rectangle;
        QImage clipped(220, 180, QImage::Format_ARGB32), cut(220, 180, QImage::Format_ARGB32);
        clipped.fill(Qt::white);
        cut.fill(Qt::white);
        {
            QPainter painter(&clipped);
            PaintScene(painter, clip, picture);
        }
        {
            QPainter target(&cut);  // never clipped: the device does the cutting
            target.setRenderHint(QPainter::Antialiasing);
            ClippingDevice device(target);
            QPainter painter(&device);
            PaintScene(painter, clip, picture);
        }
        const QPainterPath onImage = clip.translated(10, 5);
        int painted = 0, differing = 0, outside = 0;
        for (int y = 0; y < cut.height(); ++y) {
            for (int x = 0; x < cut.width(); ++x) {
                const QColor a = clipped.pixelColor(x, y), b = cut.pixelColor(x, y);
                const bool ink = b != QColor(Qt::white);
                painted += ink ? 1 : 0;
                const QRectF pixel(x - 1, y - 1, 3, 3);
                if (ink && !onImage.intersects(pixel)) ++outside;
                const int distance = std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                                     std::abs(a.blue() - b.blue());
                differing += distance > 96 ? 1 : 0;
            }
        }
        EXPECT_GT(painted, 3000);
        EXPECT_EQ(outside, 0) << (picture ? "rectangle" : "ellipse");
        // Only the smoothed edges may differ.
        EXPECT_LT(differing, painted / 50);
    }
}

}  // namespace
}  // namespace corvalith::testing
