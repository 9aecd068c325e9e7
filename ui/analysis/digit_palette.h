// The colour of each digit 0–9 in every chart and legend of the analysis
// window. The ten colours keep a CIEDE2000 difference of at least 25 between
// any two under normal vision and of at least 12 under simulated protanopia,
// deuteranopia and tritanopia; their CIELAB lightness lies between 31 and 72,
// so each stays visible on a light and on a dark chart background.
#pragma once

#include <array>
#include <cstdint>

namespace corvalith {

// An 8-bit sRGB colour.
struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr std::array<Rgb, 10> kDigitColours = {{
    {20, 20, 240},    // 0 ultramarine
    {255, 120, 50},   // 1 orange
    {0, 180, 175},    // 2 teal
    {140, 100, 0},    // 3 ochre
    {0, 125, 190},    // 4 steel blue
    {205, 145, 250},  // 5 lavender
    {185, 175, 135},  // 6 khaki
    {35, 105, 85},    // 7 dark green
    {105, 95, 120},   // 8 slate
    {155, 0, 50},     // 9 crimson
}};

// The least pairwise differences the palette keeps (see above).
inline constexpr double kDigitDistanceNormal = 25.0;
inline constexpr double kDigitDistanceDeficient = 12.0;

}  // namespace corvalith
