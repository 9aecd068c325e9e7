// Coloured table cells read in a light and a dark palette: the contrast
// computation on worked numbers, every colour the scales can give (sampled
// densely) with the text chosen for it, and every coloured cell of the real
// 検証, 全設定 and 乱数性 tables under both palettes.
#include <gtest/gtest.h>

#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTableWidget>
#include <cmath>
#include <memory>

#include "evaluate/statistics.h"
#include "tests/support/history_files.h"
#include "tests/ui/analysis_fixture.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/contrast.h"
#include "ui/analysis/randomness_tab.h"
#include "ui/analysis/sweep_tab.h"
#include "ui/analysis/verify_tab.h"

namespace corvalith::testing {
namespace {

QPalette LightFusion() {
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

// A typical dark theme over Fusion.
QPalette DarkFusion() {
    QPalette dark = LightFusion();
    const QColor window(0x35, 0x35, 0x35), base(0x2a, 0x2a, 0x2a);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    return dark;
}

struct Case {
    const char* name;
    QPalette palette;
};

std::vector<Case> Palettes() { return {{"light", LightFusion()}, {"dark", DarkFusion()}}; }

TEST(Contrast, WorkedNumbers) {
    EXPECT_DOUBLE_EQ(RelativeLuminance(Qt::black), 0.0);
    EXPECT_DOUBLE_EQ(RelativeLuminance(Qt::white), 1.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::white, Qt::black), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(QColor(90, 40, 200), QColor(90, 40, 200)), 1.0);
    // #767676 is the lightest grey that reads on white, #777777 just fails.
    EXPECT_NEAR(ContrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    // Pure red: 0.2126 of white's luminance.
    EXPECT_NEAR(RelativeLuminance(Qt::red), 0.2126, 1e-9);
    EXPECT_NEAR(ContrastRatio(Qt::red, Qt::black), (0.2126 + 0.05) / 0.05, 1e-9);
}

TEST(Contrast, TheChosenTextReadsOnEveryGrey) {
    double worst = 21.0;
    for (int v = 0; v <= 255; ++v) {
        const QColor grey(v, v, v);
        worst = std::min(worst, ContrastRatio(grey, ReadableText(grey)));
    }
    EXPECT_GE(worst, std::sqrt(21.0) - 0.05);
}

// Every background the rate scale (the widest span any table uses and
// beyond it), the p scale and the significance highlight can give, with
// the neutral colour of `palette`.
std::vector<QColor> ScaleColours(const QPalette& palette) {
    const QColor neutral = palette.color(QPalette::Base);
    std::vector<QColor> colours{SignificantColour()};
    for (int i = 0; i <= 4000; ++i) {
        const double rate = -0.5 + 2.0 * i / 4000.0;
        colours.push_back(ScaleColour(rate, 0.05, 0.10, 0.15, neutral));
        colours.push_back(ScaleColour(rate, 0.07, 0.10, 0.13, neutral));
        const double p = std::pow(10.0, -12.0 * i / 4000.0);
        colours.push_back(PValueColour(p, evaluate::kSignificance, neutral));
    }
    colours.push_back(PValueColour(std::nan(""), evaluate::kSignificance, neutral));
    return colours;
}

TEST(Contrast, EveryScaleColourReadsInBothPalettes) {
    for (const Case& c : Palettes()) {
        for (const QColor& background : ScaleColours(c.palette)) {
            const double ratio = ContrastRatio(background, ReadableText(background));
            ASSERT_GE(ratio, kReadableContrast) << c.name << " " << background.name().toStdString();
        }
    }
}

TEST(Contrast, ThePScaleShowsFromOneToTheSignificanceLevel) {
    const QColor white(Qt::white);
    const auto distance = [&white](const QColor& c) {
        return std::abs(c.red() - white.red()) + std::abs(c.green() - white.green()) +
               std::abs(c.blue() - white.blue());
    };
    const double alpha = evaluate::kSignificance;
    EXPECT_EQ(distance(PValueColour(1.0, alpha)), 0);
    // Each step of a decade towards α moves the colour visibly, and it grows.
    int previous = 0;
    for (const double p : {0.5, 0.2, 0.1, 0.07, alpha}) {
        const int now = distance(PValueColour(p, alpha));
        EXPECT_GT(now, previous + 10) << p;
        previous = now;
    }
    EXPECT_GT(distance(PValueColour(0.1, alpha)), 120);
    // Below α the colour changes kind: far from the strongest non-significant one.
    EXPECT_GT(distance(PValueColour(alpha * 0.99, alpha)) - distance(PValueColour(alpha, alpha)),
              150);
}

// Every coloured cell of `table`, and every uncoloured one in the palette's
// own colours, has text that reads on its background.
int CheckCells(const QTableWidget& table, const char* palette) {
    int coloured = 0;
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < table.columnCount(); ++c) {
            const QTableWidgetItem* item = table.item(r, c);
            if (item == nullptr) continue;
            const QBrush back = item->background(), fore = item->foreground();
            const QColor background =
                back.style() != Qt::NoBrush ? back.color() : table.palette().color(QPalette::Base);
            const QColor text =
                fore.style() != Qt::NoBrush ? fore.color() : table.palette().color(QPalette::Text);
            coloured += back.style() != Qt::NoBrush ? 1 : 0;
            EXPECT_GE(ContrastRatio(background, text), kReadableContrast)
                << palette << " row " << r << " column " << c << " "
                << background.name().toStdString() << " on " << text.name().toStdString();
        }
    }
    return coloured;
}

TEST_F(AnalysisTest, EveryColouredCellReadsInALightAndADarkPalette) {
    // A history whose thousands digit is always 7: its frequency test is
    // significant, so 乱数性 shows its highlight.
    std::vector<std::string> results;
    for (int i = 0; i < 400; ++i) results.push_back("7" + std::to_string(100 + (i * 37) % 900));
    const std::string biased = dir.Write("biased.csv", MakeHistory(results));
    for (const Case& c : Palettes()) {
        // The tables take their palette's colours when they are filled (the
        // second time from the cache).
        window->setPalette(c.palette);
        OpenAndWait(SampleInputs(), AnalysisTab::Verify);
        EXPECT_EQ(CheckCells(*window->Verify()->Table(), c.name), 4);
        OpenAndWait(SampleInputs(), AnalysisTab::Sweep);
        // The rate and both p of every row.
        EXPECT_EQ(CheckCells(*window->Sweep()->Table(), c.name),
                  3 * window->Sweep()->Table()->rowCount());
        AnalysisInputs inputs = SampleInputs();
        inputs.path = biased;
        OpenAndWait(inputs, AnalysisTab::Randomness);
        EXPECT_GE(CheckCells(*window->Randomness()->Table(), c.name), 1);
    }
}

}  // namespace
}  // namespace corvalith::testing
