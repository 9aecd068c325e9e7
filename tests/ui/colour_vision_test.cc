// The colour arithmetic against published figures, and the digit palette's
// distinctness under normal vision and the three simulated deficiencies.
#include "tests/support/colour_vision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "ui/analysis/digit_palette.h"

namespace corvalith {
namespace {

// Pairs from Sharma, Wu and Dalal's CIEDE2000 test data with their differences.
struct Pair {
    Lab x, y;
    double expected;
};

TEST(ColourVision, DeltaE2000MatchesThePublishedPairs) {
    const Pair pairs[] = {
        {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},
        {{50, 0, 0}, {50, -1, 2}, 2.3669},
        {{50, 2.5, 0}, {50, 3.1736, 0.5854}, 1.0000},
        {{50, 2.5, 0}, {73, 25, -18}, 27.1492},
        {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
        {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
    };
    for (const Pair& pair : pairs) {
        EXPECT_NEAR(DeltaE2000(pair.x, pair.y), pair.expected, 5e-5);
        EXPECT_NEAR(DeltaE2000(pair.y, pair.x), pair.expected, 5e-5);  // symmetric
        EXPECT_EQ(DeltaE2000(pair.x, pair.x), 0.0);
    }
}

TEST(ColourVision, LabOfThePrimariesAndWhite) {
    const struct {
        Srgb8 colour;
        Lab lab;
    } cases[] = {{{255, 255, 255}, {100, 0, 0}},
                 {{0, 0, 0}, {0, 0, 0}},
                 {{255, 0, 0}, {53.24, 80.09, 67.20}},
                 {{0, 255, 0}, {87.73, -86.18, 83.18}},
                 {{0, 0, 255}, {32.30, 79.19, -107.86}}};
    for (const auto& c : cases) {
        const Lab lab = ToLab(c.colour);
        EXPECT_NEAR(lab.l, c.lab.l, 0.01);
        EXPECT_NEAR(lab.a, c.lab.a, 0.01);
        EXPECT_NEAR(lab.b, c.lab.b, 0.01);
    }
}

TEST(ColourVision, GreysLookTheSameToEveryEye) {
    for (const int v : {0, 64, 128, 200, 255}) {
        const Srgb8 grey{std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)};
        const Lab seen = ToLab(grey);
        for (const Vision vision : kAllVisions) {
            EXPECT_LT(DeltaE2000(seen, ToLab(Simulate(grey, vision))), 0.6) << v;
        }
    }
}

TEST(ColourVision, RedAndGreenMergeWithoutRedOrGreenCones) {
    // A red and a green of about the same lightness: far apart to a normal
    // eye, close together without one of the two cones, apart without blue.
    const Srgb8 red{200, 60, 40}, green{90, 130, 40};
    const auto distance = [&](Vision vision) {
        return DeltaE2000(ToLab(Simulate(red, vision)), ToLab(Simulate(green, vision)));
    };
    EXPECT_GT(distance(Vision::Normal), 30);
    EXPECT_LT(distance(Vision::Protanopia), 0.5 * distance(Vision::Normal));
    EXPECT_LT(distance(Vision::Deuteranopia), 0.5 * distance(Vision::Normal));
    EXPECT_GT(distance(Vision::Tritanopia), 0.5 * distance(Vision::Normal));
}

TEST(ColourVision, TheDigitColoursStayApartForEveryEye) {
    std::array<Srgb8, kDigitColours.size()> digits{};
    std::ranges::transform(kDigitColours, digits.begin(), [](const Rgb& c) {
        return Srgb8{c.r, c.g, c.b};
    });
    EXPECT_GE(MinimumPairDistance(digits, Vision::Normal), kDigitDistanceNormal);
    for (const Vision vision : {Vision::Protanopia, Vision::Deuteranopia, Vision::Tritanopia}) {
        EXPECT_GE(MinimumPairDistance(digits, vision), kDigitDistanceDeficient) << int(vision);
    }
    for (const Srgb8& colour : digits) {
        const double lightness = ToLab(colour).l;
        EXPECT_GE(lightness, 31.0);
        EXPECT_LE(lightness, 72.0);
    }
}

TEST(ColourVision, MinimumPairDistanceFindsTheClosestPair) {
    const Srgb8 colours[] = {{255, 0, 0}, {0, 0, 255}, {250, 5, 5}};
    const double closest = DeltaE2000(ToLab(colours[0]), ToLab(colours[2]));
    EXPECT_EQ(MinimumPairDistance(colours, Vision::Normal), closest);
    EXPECT_EQ(MinimumPairDistance(std::span(colours, 1), Vision::Normal), 0.0);
}

}  // namespace
}  // namespace corvalith
