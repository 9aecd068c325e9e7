// The analysis window's pictures say what they show: the history file, the
// setting, the position and the draw number in a title line over the
// picture (and as the SVG's title), the tab's legend explained under it;
// a chart's own context menu saves that chart alone under the same labels.
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QSvgRenderer>
#include <fstream>

#include "report/position_names.h"
#include "tests/ui/analysis_fixture.h"
#include "ui/analysis/detail_tab.h"
#include "ui/analysis/export_labels.h"
#include "ui/analysis/verify_tab.h"

namespace corvalith::testing {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The text between <tag> and </tag> of an SVG document.
std::string Element(const std::string& svg, const std::string& tag) {
    const std::size_t open = svg.find("<" + tag + ">");
    const std::size_t close = svg.find("</" + tag + ">");
    if (open == std::string::npos || close == std::string::npos) return {};
    const std::size_t from = open + tag.size() + 2;
    return svg.substr(from, close - from);
}

// Every <text> element's content in the document's order (the generator
// writes a line in runs of one script each).
std::string DrawnText(const std::string& svg) {
    std::string text;
    for (std::size_t at = svg.find("<text"); at != std::string::npos;
         at = svg.find("<text", at + 1)) {
        const std::size_t from = svg.find('>', at) + 1;
        text += svg.substr(from, svg.find("</text>", from) - from);
    }
    return text;
}

// Pixels of rows [top, bottom) of `image` far from `paper`: the strokes of
// the text written there.
int InkPixels(const QImage& image, int top, int bottom, const QColor& paper) {
    int ink = 0;
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int distance = std::abs(c.red() - paper.red()) +
                                 std::abs(c.green() - paper.green()) +
                                 std::abs(c.blue() - paper.blue());
            ink += distance > 120 ? 1 : 0;
        }
    }
    return ink;
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

QAction* ActionStartingWith(QWidget& widget, const QString& start) {
    for (QAction* action : widget.actions()) {
        if (action->text().startsWith(start)) return action;
    }
    return nullptr;
}

TEST_F(AnalysisTest, ADetailPictureNamesTheHistorySettingPositionAndDraw) {
    AnalysisInputs inputs = SampleInputs();
    OpenAndWait(inputs, AnalysisTab::Detail);
    window->resize(1100, 700);
    window->Detail()->SelectPosition(2);
    const std::string png = dir.File("detail.png"), svg = dir.File("detail.svg");
    services.AnswerSaveDialog(QString::fromStdString(png));
    services.AnswerSaveDialog(QString::fromStdString(svg));
    ASSERT_TRUE(window->ExportPng());
    ASSERT_TRUE(window->ExportSvg());

    const std::string document = ReadAll(svg);
    const std::string title = Element(document, "title");
    const std::string file = Utf8(QFileInfo(QString::fromStdString(inputs.path)).fileName());
    for (const std::string& part :
         {file, "フィルタ " + std::string(NameOf(inputs.filter)), std::string("第6501回"),
          std::string(kPositionLabels[2]), std::string("詳細")}) {
        EXPECT_NE(title.find(part), std::string::npos) << part << " in " << title;
    }
    EXPECT_EQ(Element(document, "desc"), Utf8(window->Detail()->Legend(TabChoices{inputs})));
    // The title line is also drawn: as text in the picture, not only its name.
    EXPECT_NE(DrawnText(document).find(title), std::string::npos);

    const QWidget& panel = *window->Detail()->ChartPanel();
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    const qreal ratio = image.devicePixelRatio();
    QFont bold = panel.font();
    bold.setBold(true);
    const int strip = qRound((QFontMetrics(bold).height() + 12) * ratio);
    const int line = qRound(QFontMetrics(panel.font()).height() * ratio);
    EXPECT_GE(image.height(), qRound(panel.height() * ratio) + strip + line);
    const QColor paper = panel.palette().window().color();
    EXPECT_GT(InkPixels(image, 0, strip, paper), 200);
    EXPECT_GT(InkPixels(image, image.height() - line, image.height(), paper), 100);
}

TEST_F(AnalysisTest, AChartsContextMenuSavesThatChartAloneWithItsLabels) {
    const AnalysisInputs inputs = SampleInputs();
    OpenAndWait(inputs, AnalysisTab::Verify);
    window->resize(1000, 760);
    QChart* chart = window->Verify()->PositionChart(1);
    QChartView* view = nullptr;
    for (QChartView* candidate : window->Verify()->ChartPanel()->findChildren<QChartView*>()) {
        if (candidate->chart() == chart) view = candidate;
    }
    ASSERT_NE(view, nullptr);
    ASSERT_LT(view->width(), window->Verify()->ChartPanel()->width());
    const std::string png = dir.File("one.png"), svg = dir.File("one.svg");
    services.AnswerSaveDialog(QString::fromStdString(png));
    services.AnswerSaveDialog(QString::fromStdString(svg));
    QAction* savePng = ActionStartingWith(*view, QStringLiteral("PNG"));
    QAction* saveSvg = ActionStartingWith(*view, QStringLiteral("SVG"));
    ASSERT_NE(savePng, nullptr);
    ASSERT_NE(saveSvg, nullptr);
    savePng->trigger();
    saveSvg->trigger();
    ASSERT_EQ(services.saveDialogs.size(), 2u);

    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), qRound(view->width() * image.devicePixelRatio()));
    EXPECT_GT(image.height(), qRound(view->height() * image.devicePixelRatio()));
    QSvgRenderer renderer(QString::fromStdString(svg));
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox().width(), view->width());
    EXPECT_GT(renderer.viewBox().height(), view->height());
    const std::string title = Element(ReadAll(svg), "title");
    EXPECT_EQ(title, Utf8(InputsLine(inputs) + QStringLiteral("　検証　") + chart->title()));
    EXPECT_NE(title.find(kPositionLabels[1]), std::string::npos);
}

}  // namespace
}  // namespace corvalith::testing
