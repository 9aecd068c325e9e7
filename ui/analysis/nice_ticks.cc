// The step starts at the power of ten just below the span divided by the
// number of ticks and grows through 1, 2, 5, 10, … until the ticks fit.
#include "ui/analysis/nice_ticks.h"

#include <algorithm>
#include <cmath>

namespace corvalith {

Ticks NiceTicks(double low, double high, int most) {
    most = std::max(most, 2);
    const double span = high - low;
    if (!(span > 0) || !std::isfinite(span)) return {std::floor(low), 1};
    double decade = std::pow(10.0, std::floor(std::log10(span / most)));
    for (;;) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * decade;
            const double first = std::ceil(low / step - 1e-9) * step;
            const double count = std::floor((high - first) / step + 1e-9) + 1;
            if (count <= most) return {first == 0 ? 0.0 : first, step};
        }
        decade *= 10;
    }
}

std::vector<double> TickValues(const Ticks& ticks, double low, double high) {
    std::vector<double> values;
    if (!(ticks.step > 0)) return values;
    // The same count as NiceTicks, each value from the first tick so that the
    // steps do not add up rounding errors.
    const double first = std::ceil(low / ticks.step - 1e-9) * ticks.step;
    const double count = std::min(1000.0, std::floor((high - first) / ticks.step + 1e-9) + 1);
    for (int i = 0; i < int(count); ++i) values.push_back(first + i * ticks.step);
    return values;
}

std::string DecadeLabel(int exponent) {
    if (exponent >= -2 && exponent <= 2) {
        static const char* const kPlain[] = {"0.01", "0.1", "1", "10", "100"};
        return kPlain[exponent + 2];
    }
    static const char* const kSuperscript[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string label = "10";
    if (exponent < 0) label += "⁻";
    const std::string digits =
        std::to_string(exponent < 0 ? -static_cast<long>(exponent) : static_cast<long>(exponent));
    for (const char digit : digits) label += kSuperscript[digit - '0'];
    return label;
}

double DecadeBelow(double lowest) {
    if (!(lowest > 0) || !std::isfinite(lowest)) return 1e-6;
    return std::pow(10.0, std::floor(std::log10(lowest / 10) + 1e-9));
}

}  // namespace corvalith
