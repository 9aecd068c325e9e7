// The deficiencies follow Machado, Oliveira and Fernandes (2009): one 3×3
// matrix per kind at severity 1.0, applied to linear RGB; the result is
// clamped to the unit cube before it goes back to sRGB.
#include "tests/support/colour_vision.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvalith {
namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

constexpr Matrix kProtanopia = {{{0.152286, 1.052583, -0.204868},
                                 {0.114503, 0.786281, 0.099216},
                                 {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix kDeuteranopia = {{{0.367322, 0.860646, -0.227968},
                                   {0.280085, 0.672501, 0.047413},
                                   {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix kTritanopia = {{{1.255528, -0.076749, -0.178779},
                                 {-0.078411, 0.930809, 0.147602},
                                 {0.004733, 0.691367, 0.303900}}};

double ToLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

double FromLinear(double c) {
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

std::array<double, 3> Unit(Srgb8 colour) {
    return {colour.r / 255.0, colour.g / 255.0, colour.b / 255.0};
}

double LabCurve(double t) {
    constexpr double kEpsilon = 216.0 / 24389.0;
    constexpr double kKappa = 24389.0 / 27.0;
    return t > kEpsilon ? std::cbrt(t) : (kKappa * t + 16) / 116;
}

double Degrees(double radians) { return radians * 180 / std::numbers::pi; }
double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

}  // namespace

std::array<double, 3> Simulate(Srgb8 colour, Vision vision) {
    const std::array<double, 3> srgb = Unit(colour);
    if (vision == Vision::Normal) return srgb;
    const Matrix& m = vision == Vision::Protanopia     ? kProtanopia
                      : vision == Vision::Deuteranopia ? kDeuteranopia
                                                       : kTritanopia;
    const std::array<double, 3> linear = {ToLinear(srgb[0]), ToLinear(srgb[1]), ToLinear(srgb[2])};
    std::array<double, 3> seen{};
    for (int i = 0; i < 3; ++i) {
        const double v = m[i][0] * linear[0] + m[i][1] * linear[1] + m[i][2] * linear[2];
        seen[i] = FromLinear(std::clamp(v, 0.0, 1.0));
    }
    return seen;
}

Lab ToLab(const std::array<double, 3>& srgb) {
    const double r = ToLinear(srgb[0]), g = ToLinear(srgb[1]), b = ToLinear(srgb[2]);
    // sRGB's primaries to XYZ, divided by the D65 white point.
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const double fx = LabCurve(x), fy = LabCurve(y), fz = LabCurve(z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

Lab ToLab(Srgb8 colour) { return ToLab(Unit(colour)); }

double DeltaE2000(const Lab& x, const Lab& y) {
    const double c1 = std::hypot(x.a, x.b), c2 = std::hypot(y.a, y.b);
    const double meanC7 = std::pow((c1 + c2) / 2, 7);
    const double g = 0.5 * (1 - std::sqrt(meanC7 / (meanC7 + std::pow(25.0, 7))));
    const double a1 = (1 + g) * x.a, a2 = (1 + g) * y.a;
    const double cp1 = std::hypot(a1, x.b), cp2 = std::hypot(a2, y.b);
    const auto hue = [](double b, double a) {
        if (a == 0 && b == 0) return 0.0;
        const double h = Degrees(std::atan2(b, a));
        return h < 0 ? h + 360 : h;
    };
    const double h1 = hue(x.b, a1), h2 = hue(y.b, a2);
    const double dL = y.l - x.l;
    const double dC = cp2 - cp1;
    double dh = 0;
    if (cp1 * cp2 != 0) {
        dh = h2 - h1;
        if (dh > 180) dh -= 360;
        if (dh < -180) dh += 360;
    }
    const double dH = 2 * std::sqrt(cp1 * cp2) * std::sin(Radians(dh / 2));
    const double meanL = (x.l + y.l) / 2;
    const double meanCp = (cp1 + cp2) / 2;
    double meanH = h1 + h2;
    if (cp1 * cp2 != 0) {
        if (std::abs(h1 - h2) <= 180)
            meanH /= 2;
        else
            meanH = meanH < 360 ? (meanH + 360) / 2 : (meanH - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos(Radians(meanH - 30)) +
                     0.24 * std::cos(Radians(2 * meanH)) + 0.32 * std::cos(Radians(3 * meanH + 6)) -
                     0.20 * std::cos(Radians(4 * meanH - 63));
    const double dTheta = 30 * std::exp(-std::pow((meanH - 275) / 25, 2));
    const double meanCp7 = std::pow(meanCp, 7);
    const double rC = 2 * std::sqrt(meanCp7 / (meanCp7 + std::pow(25.0, 7)));
    const double l50 = (meanL - 50) * (meanL - 50);
    const double sL = 1 + 0.015 * l50 / std::sqrt(20 + l50);
    const double sC = 1 + 0.045 * meanCp;
    const double sH = 1 + 0.015 * meanCp * t;
    const double rT = -std::sin(Radians(2 * dTheta)) * rC;
    const double l = dL / sL, c = dC / sC, h = dH / sH;
    return std::sqrt(l * l + c * c + h * h + rT * c * h);
}

double MinimumPairDistance(std::span<const Srgb8> colours, Vision vision) {
    if (colours.size() < 2) return 0;
    double smallest = INFINITY;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Lab first = ToLab(Simulate(colours[i], vision));
        for (std::size_t j = i + 1; j < colours.size(); ++j) {
            smallest = std::min(smallest, DeltaE2000(first, ToLab(Simulate(colours[j], vision))));
        }
    }
    return smallest;
}

}  // namespace corvalith
