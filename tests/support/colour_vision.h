// Colour arithmetic without Qt: sRGB to CIELAB (D65), the CIEDE2000 colour
// difference, and what an eye with one kind of cone missing sees of a colour
// (protanopia, deuteranopia, tritanopia at full severity).
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace corvalith {

// An 8-bit sRGB colour (the window's palette converts its own to it).
struct Srgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
};

struct Lab {
    double l = 0, a = 0, b = 0;
};

enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia };

inline constexpr std::array<Vision, 4> kAllVisions = {Vision::Normal, Vision::Protanopia,
                                                      Vision::Deuteranopia, Vision::Tritanopia};

// The colour as seen with `vision`, as an sRGB triple of unit-range values
// (not rounded to 8 bits, so that the differences are not blurred).
[[nodiscard]] std::array<double, 3> Simulate(Srgb8 colour, Vision vision);

// CIELAB under D65 of an sRGB triple of unit-range values.
[[nodiscard]] Lab ToLab(const std::array<double, 3>& srgb);
[[nodiscard]] Lab ToLab(Srgb8 colour);

// The CIEDE2000 difference of two colours (kL = kC = kH = 1).
[[nodiscard]] double DeltaE2000(const Lab& x, const Lab& y);

// The smallest CIEDE2000 difference between any two of `colours` as seen
// with `vision` (0 for fewer than two colours).
[[nodiscard]] double MinimumPairDistance(std::span<const Srgb8> colours, Vision vision);

}  // namespace corvalith
