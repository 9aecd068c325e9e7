// Dialog-unit conversion, font sizing, the date-line text and the
// background drawing at any window size.
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <ctime>

#include "commands/date_line.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/dialog_fonts.h"
#include "ui/dialog_template.h"
#include "ui/dialog_units.h"
#include "ui/qt_text.h"
#include "ui/resource.h"
#include "ui/result_area.h"
#include "ui/window_resources.h"

namespace corvalith::testing {
namespace {

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(7, 6, 4), 11);     // 10.5
    EXPECT_EQ(MulDiv(81, 13, 8), 132);  // 131.625
    EXPECT_EQ(MulDiv(14, 96, 72), 19);  // 18.67: 14 pt at 96 dpi
    EXPECT_EQ(MulDiv(-7, 6, 4), -11);
    EXPECT_EQ(MulDiv(5, 3, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 2, 4), 1000000000);  // no overflow
}

TEST(DialogUnits, CornersAreConvertedSeparately) {
    const DialogBaseUnits base{6, 13};
    // The result area: 7, 81, 286, 209 dialog units.
    EXPECT_EQ(DialogRect(base, 7, 81, 286, 209), QRect(QPoint(11, 132), QPoint(440 - 1, 471 - 1)));
    // x 80 and x + w 90 round on their own: 120 .. 135.
    EXPECT_EQ(DialogRect(base, 80, 17, 10, 14).left(), 120);
    EXPECT_EQ(DialogRect(base, 80, 17, 10, 14).width(), 15);
    // MS UI Gothic's 6 x 12 base units would give the same widths.
    EXPECT_EQ(DialogRect({6, 12}, 0, 0, 536, 337).size(), QSize(804, 506));
}

TEST(DialogFonts, CellHeightIsMetAndOnlyTheSizeChanges) {
    const QFont base = DialogFont();
    const QFont sized = WithCellHeight(base, 24);
    EXPECT_LE(QFontMetrics(sized).height(), 24);
    QFont larger = sized;
    larger.setPixelSize(sized.pixelSize() + 1);
    EXPECT_GT(QFontMetrics(larger).height(), 24);  // the largest size that fits
    EXPECT_EQ(sized.family(), base.family());
    EXPECT_EQ(sized.weight(), base.weight());
    // The date line: bold, 14 points at the given resolution.
    const QFont date = DateLineFont(96);
    EXPECT_EQ(date.pixelSize(), 19);
    EXPECT_EQ(date.weight(), QFont::Bold);
    EXPECT_EQ(DateLineFont(144).pixelSize(), 28);
}

TEST(DateLine, FormatsLocalTimeWithTheWeekdayName) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 8;
    t.tm_min = 57;
    t.tm_sec = 3;
    t.tm_wday = 2;
    EXPECT_EQ(FormatDateLine(&t), u"2026/12/08(火) 08:57:03");
    t.tm_wday = 0;
    EXPECT_EQ(FormatDateLine(&t), u"2026/12/08(日) 08:57:03");
}

TEST(DateLine, FailedConversionGivesZerosAndMinusOnes) {
    EXPECT_EQ(FormatDateLine(nullptr), u"0000/00/00() -1:-1:-1");
}

TEST(Resources, ImagesHaveTheirSizes) {
    EXPECT_EQ(LoadLogoBitmap().size(), QSize(100, 100));
    EXPECT_EQ(LoadBackgroundBitmap().size(), QSize(1024, 1024));
    EXPECT_FALSE(LoadApplicationIcon().isNull());
}

using Drawing = DialogTest;

TEST_F(Drawing, BackgroundFillsTheClientAreaAtAnySizeAndControlsStay) {
    QWidget* result = Result();
    const QRect before = result->geometry();
    QWidget* client = result->parentWidget();
    const QImage background = LoadBackgroundBitmap().toImage();

    for (const QSize size : {QSize(1200, 900), QSize(400, 300)}) {
        dialog->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(result->geometry(), before);
        EXPECT_EQ(client->width(), dialog->width());
        const QImage shot = client->grab().toImage();
        // A point at the right edge, above the result area and clear of every
        // control, shows the image's matching point, stretched to fit.
        const QPoint at(shot.width() - 2, 110);
        const QColor corner = shot.pixelColor(at);
        const QColor expected =
            background.pixelColor(at.x() * 1024 / shot.width(), at.y() * 1024 / shot.height());
        EXPECT_NEAR(corner.red(), expected.red(), 12) << size.width();
        EXPECT_NEAR(corner.green(), expected.green(), 12) << size.width();
        EXPECT_NEAR(corner.blue(), expected.blue(), 12) << size.width();
    }
}

const QColor kStaticGrey(240, 240, 240);

// The bounding rectangle of the pixels in `area` for which `hit` holds.
template <typename Hit>
QRect PixelBounds(const QRect& area, Hit hit) {
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (hit(x, y)) bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// The visible group box with `title` among the children of `client`.
QGroupBox* GroupBoxTitled(QWidget* client, const QString& title) {
    for (QGroupBox* box : client->findChildren<QGroupBox*>()) {
        if (box->isVisible() && box->title() == title) return box;
    }
    return nullptr;
}

TEST_F(Drawing, FilterTitleSitsOnTheFrameLineAndTheRadiosLieInsideWithoutHidingIt) {
    QWidget* client = Result()->parentWidget();
    QGroupBox* box = GroupBoxTitled(client, ToQString(u"フィルタ"));
    ASSERT_NE(box, nullptr);
    const QImage own = box->grab().toImage();
    const QImage all = client->grab().toImage();

    // The frame's top line, seen in a column far right of the title.
    const int column = own.width() - 10;
    int frameTop = -1;
    for (int y = 0; y < own.height() && frameTop < 0; ++y) {
        if (own.pixelColor(column, y) != kStaticGrey) frameTop = y;
    }
    ASSERT_GT(frameTop, 0);

    // The title's ink: dark pixels in the left half, above the radios' row.
    const QRect title =
        PixelBounds(QRect(0, 0, own.width() / 2, frameTop * 2 + 4),
                    [&](int x, int y) { return own.pixelColor(x, y).lightness() < 128; });
    ASSERT_FALSE(title.isEmpty());
    // At the top-left, with the line through the middle third of its height...
    EXPECT_LT(title.left(), own.width() / 8);
    EXPECT_LE(title.top(), 3);
    EXPECT_GE(frameTop, title.top() + title.height() / 3);
    EXPECT_LE(frameTop, title.bottom() - title.height() / 3);
    // ... and the line broken on either side of it.
    EXPECT_EQ(own.pixelColor(title.left() - 1, frameTop), kStaticGrey);
    EXPECT_EQ(own.pixelColor(title.right() + 1, frameTop), kStaticGrey);
    // Left of the gap the line is the same as far right.
    EXPECT_EQ(own.pixelColor(3, frameTop), own.pixelColor(column, frameTop));

    // Nothing is drawn over the title in the whole client area.
    const QRect titleInClient = title.adjusted(-1, -1, 1, 1).translated(box->pos());
    for (int y = titleInClient.top(); y <= titleInClient.bottom(); ++y) {
        for (int x = titleInClient.left(); x <= titleInClient.right(); ++x) {
            ASSERT_EQ(all.pixel(x, y), own.pixel(x - box->x(), y - box->y())) << x << "," << y;
        }
    }

    // Each radio's drawing (what differs from the bare box) lies inside the
    // frame and below the title, and the ground under its text is the
    // statics' grey.
    const QRect frameInClient =
        QRect(box->x(), box->y() + frameTop, box->width(), box->height() - frameTop);
    for (const int id : {id::kFilterLpf, id::kFilterBpf, id::kFilterNone}) {
        QWidget* radio = dialog->GetDlgItem(id);
        ASSERT_TRUE(frameInClient.intersects(radio->geometry())) << id;
        const QRect drawn = PixelBounds(radio->geometry(), [&](int x, int y) {
            return all.pixel(x, y) != own.pixel(x - box->x(), y - box->y());
        });
        ASSERT_FALSE(drawn.isEmpty()) << id;
        EXPECT_TRUE(frameInClient.adjusted(2, 2, -2, -2).contains(drawn)) << id;
        EXPECT_GT(drawn.top(), titleInClient.bottom()) << id;
        EXPECT_EQ(all.pixelColor(radio->geometry().bottomRight() - QPoint(1, 1)), kStaticGrey)
            << id;
    }
}

TEST_F(Drawing, ResultScrollBarStandsOutFromTheAreaAndItsHandleFollowsTheText) {
    QString text;
    for (int line = 1; line <= 80; ++line) text += QStringLiteral("%1\n").arg(line);
    dialog->ShowResult(text);
    QApplication::processEvents();
    QScrollBar* bar = Result()->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_GT(bar->maximum(), 0);

    // The area's own ground, right of the short lines.
    const QImage area = Result()->grab().toImage();
    const QColor ground = area.pixelColor(Result()->viewport()->width() - 4, 4);
    ASSERT_EQ(ground, kStaticGrey);

    // The handle and the track (the groove between the arrows), from the style.
    auto partOf = [bar](QStyle::SubControl part) {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.pageStep = bar->pageStep();
        option.singleStep = bar->singleStep();
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
    };
    auto handleRect = [&] { return partOf(QStyle::SC_ScrollBarSlider); };
    const QRect groove = partOf(QStyle::SC_ScrollBarGroove);
    ASSERT_GT(groove.height(), bar->height() / 2);
    // The dark rows down the middle of the track: where the handle is drawn.
    auto darkRows = [bar, groove] {
        const QImage shot = bar->grab().toImage();
        return PixelBounds(QRect(shot.width() / 2, groove.top(), 1, groove.height()),
                           [&](int x, int y) { return shot.pixelColor(x, y).lightness() < 180; });
    };
    const QImage shot = bar->grab().toImage();
    const QRect handle = handleRect();
    const QColor handleColour = shot.pixelColor(handle.center());
    const QColor trackColour =
        shot.pixelColor(shot.width() / 2, (handle.bottom() + groove.bottom()) / 2);
    ASSERT_LT(handle.bottom() + 4, groove.bottom());
    EXPECT_GE(ground.lightness() - handleColour.lightness(), 60);
    EXPECT_GE(trackColour.lightness() - handleColour.lightness(), 40);
    EXPECT_GE(ground.lightness() - trackColour.lightness(), 15);

    // Scrolled to the end, the dark handle is drawn at the bottom.
    const QRect before = darkRows();
    bar->setValue(bar->maximum());
    QApplication::processEvents();
    const QRect after = darkRows();
    ASSERT_FALSE(before.isEmpty());
    EXPECT_LE(std::abs(before.center().y() - handle.center().y()), 2);
    EXPECT_GT(after.center().y(), before.center().y() + groove.height() / 3);
    EXPECT_LE(std::abs(after.center().y() - handleRect().center().y()), 2);
}

}  // namespace
}  // namespace corvalith::testing
