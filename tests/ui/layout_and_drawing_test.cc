// Dialog-unit conversion, font sizing, the date-line text and the
// background drawing at any window size.
#include <QFontMetrics>
#include <QImage>
#include <QTest>
#include <ctime>

#include "commands/date_line.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/dialog_fonts.h"
#include "ui/dialog_template.h"
#include "ui/dialog_units.h"
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

}  // namespace
}  // namespace corvalith::testing
