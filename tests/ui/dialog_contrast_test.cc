// The dialog reads in a light and a dark palette: every piece that draws a
// fixed background (labels, the date line, group box titles, radio texts,
// the result area) is rendered offscreen, and the darkest-or-lightest pixel
// of its text is measured against the background around it.
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <map>
#include <memory>

#include "app/fusion_palettes.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/analysis/contrast.h"
#include "ui/dialog_group_box.h"
#include "ui/result_area.h"

namespace corvalith::testing {
namespace {

// The ratio of the text in `area` of `image`: the most frequent colour is
// the background, the pixel that differs most from it is the text's core.
double TextContrast(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
    }
    QRgb background = 0;
    int most = 0;
    for (const auto& [rgb, count] : counts) {
        if (count > most) std::tie(background, most) = std::pair{rgb, count};
    }
    double best = 1.0;
    for (const auto& [rgb, count] : counts) {
        best = std::max(best, ContrastRatio(QColor(rgb), QColor(background)));
    }
    return best;
}

// Where each text of the dialog is drawn, in the dialog's coordinates.
std::vector<std::pair<QString, QRect>> TextAreas(CPendulaDlg& dialog) {
    std::vector<std::pair<QString, QRect>> areas;
    auto add = [&](const QString& name, QWidget* widget, QRect local) {
        if (!widget->isVisible() || local.isEmpty()) return;
        local = local.intersected(widget->rect());
        areas.emplace_back(name, local.translated(widget->mapTo(&dialog, QPoint(0, 0))));
    };
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) add(label->text(), label, label->rect());
    }
    for (auto* box : dialog.findChildren<DialogGroupBox*>())
        add(box->title(), box, box->TitleRect());
    for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
        // The text only: the indicator is drawn in the palette's own colours.
        const int skip = radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                         radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        add(radio->text(), radio, radio->rect().adjusted(skip, 0, 0, 0));
    }
    return areas;
}

using DialogContrast = DialogTest;

TEST_F(DialogContrast, EveryTextReadsInTheLightAndTheDarkPalette) {
    dialog->ShowResult(QStringLiteral("千の位 1 2 3\n百の位 4 5 6"));
    for (const auto& [paletteName, palette] :
         {std::pair{"light", LightFusionPalette()}, std::pair{"dark", DarkFusionPalette()}}) {
        SCOPED_TRACE(paletteName);
        dialog->setPalette(palette);
        const QImage image = dialog->grab().toImage();
        const auto areas = TextAreas(*dialog);
        ASSERT_GE(areas.size(), 8u);  // labels, titles, radios and the result
        bool sawResult = false;
        for (const auto& [name, area] : areas) {
            sawResult = sawResult || name.startsWith(QStringLiteral("千の位"));
            EXPECT_GE(TextContrast(image, area), kReadableContrast) << name.toStdString();
        }
        EXPECT_TRUE(sawResult);
    }
}

}  // namespace
}  // namespace corvalith::testing
