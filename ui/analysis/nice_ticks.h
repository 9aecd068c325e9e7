// Tick marks a reader takes in at a glance: steps of 1, 2 or 5 times a power
// of ten, on multiples of the step. No Qt.
#pragma once

#include <string>
#include <vector>

namespace corvalith {

struct Ticks {
    double first = 0;  // the lowest multiple of `step` not below the range's start
    double step = 1;
};

// The ticks of [low, high] with the smallest 1-2-5 step that leaves at most
// `most` ticks (at least two are asked for; an empty range gets step 1).
[[nodiscard]] Ticks NiceTicks(double low, double high, int most);

// The multiples of `ticks.step` within [low, high].
[[nodiscard]] std::vector<double> TickValues(const Ticks& ticks, double low, double high);

// The label of the tick at 10^`exponent` on a logarithmic axis, in UTF-8:
// plain decimals from 0.01 to 100 ("0.01", "0.1", "1", "10", "100"), a power
// with a superscript exponent beyond them ("10⁻³", "10³").
[[nodiscard]] std::string DecadeLabel(int exponent);

// The start of a logarithmic axis a decade below `lowest` (> 0): the power
// of ten at or below lowest / 10, so that the first tick sits on the axis's start.
[[nodiscard]] double DecadeBelow(double lowest);

}  // namespace corvalith
