// The analysis window fits a laptop screen: at 1280 × 720 and at the size a
// new window opens, in a light and a dark palette, every chart's title and
// axis titles show whole inside their view on every tab, and every table's
// header shows whole inside its table (a table that does not scroll shows
// every row too). The texts are measured where Qt lays them out.
#include <QAbstractAxis>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "app/fusion_palettes.h"
#include "tests/ui/analysis_fixture.h"

namespace corvalith::testing {
namespace {

bool Inside(const QRegion& visible, const QRect& rect) {
    return visible.intersected(rect) == QRegion(rect);
}

// What is cut among `view`'s chart title and axis titles: a title missing,
// shortened, or drawn partly outside what shows of the view.
void CheckChart(const QChartView& view, const std::string& where, std::vector<std::string>& cut) {
    QStringList titles;
    if (!view.chart()->title().isEmpty()) titles << view.chart()->title();
    for (const QAbstractAxis* axis : view.chart()->axes()) {
        if (axis->isVisible() && axis->isTitleVisible() && !axis->titleText().isEmpty()) {
            titles << axis->titleText();
        }
    }
    const QRegion visible = view.viewport()->visibleRegion();
    for (const QString& title : titles) {
        bool whole = false;
        for (const QGraphicsItem* item : view.scene()->items()) {
            const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
            // (The item holds the title as HTML: a full-width space comes back as a space.)
            if (text == nullptr || !text->isVisible() ||
                text->toPlainText().simplified() != title.simplified()) {
                continue;
            }
            whole = Inside(visible, view.mapFromScene(text->sceneBoundingRect()).boundingRect());
            if (whole) break;
        }
        if (!whole) cut.push_back(where + ": " + title.toStdString());
    }
}

// What is cut of `table`: a header narrower than its text or partly hidden;
// for a table that does not scroll, a row partly hidden.
void CheckTable(const QTableWidget& table, const std::string& where,
                std::vector<std::string>& cut) {
    const QHeaderView& header = *table.horizontalHeader();
    const QRegion shown = header.viewport()->visibleRegion();
    const int margin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    for (int c = 0; c < table.columnCount(); ++c) {
        const QString text = table.horizontalHeaderItem(c)->text();
        const QRect section(header.sectionViewportPosition(c), 0, header.sectionSize(c),
                            header.height());
        const int needed = header.fontMetrics().horizontalAdvance(text) + 2 * margin;
        if (!Inside(shown, section) || section.width() < needed ||
            header.height() < header.fontMetrics().height()) {
            cut.push_back(where + " header: " + text.toStdString());
        }
    }
    if (table.verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) return;
    const QRegion rows = table.viewport()->visibleRegion();
    for (int r = 0; r < table.rowCount(); ++r) {
        const QRect row(0, table.rowViewportPosition(r), 1, table.rowHeight(r));
        if (!Inside(rows, row)) cut.push_back(where + " row " + std::to_string(r));
    }
}

std::vector<std::string> CutTexts(QWidget& tab, const std::string& where) {
    std::vector<std::string> cut;
    for (const QChartView* view : tab.findChildren<QChartView*>()) {
        if (view->isVisibleTo(&tab)) CheckChart(*view, where, cut);
    }
    for (const QTableWidget* table : tab.findChildren<QTableWidget*>()) {
        if (table->isVisibleTo(&tab)) CheckTable(*table, where, cut);
    }
    return cut;
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QTest::qWait(20);
    }
}

TEST_F(AnalysisTest, EveryTitleAndHeaderShowsWholeAtALaptopSizeInLightAndDark) {
    const QSize minimum = window->minimumSizeHint();
    EXPECT_LE(minimum.width(), 1000);
    EXPECT_LE(minimum.height(), 650);
    EXPECT_EQ(AnalysisSession{}.size, QSize(1280, 720));
    const struct {
        const char* name;
        QPalette palette;
    } palettes[] = {{"light", LightFusionPalette()}, {"dark", DarkFusionPalette()}};
    for (const auto& [name, palette] : palettes) {
        window->setPalette(palette);
        for (const QSize size : {QSize(1280, 720), AnalysisSession{}.size}) {
            window->resize(size);
            for (int t = 0; t < kAnalysisTabCount; ++t) {
                const auto tab = static_cast<AnalysisTab>(t);
                OpenAndWait(SampleInputs(), tab);  // from the cache after the first palette
                Settle();
                ASSERT_EQ(window->size(), size);
                const std::string where =
                    std::string(name) + " " + window->Tabs()->tabText(t).toStdString();
                EXPECT_EQ(CutTexts(*window->Tabs()->currentWidget(), where),
                          std::vector<std::string>{});
            }
        }
    }
}

}  // namespace
}  // namespace corvalith::testing
