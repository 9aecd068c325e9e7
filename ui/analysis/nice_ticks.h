// Tick marks a reader takes in at a glance: steps of 1, 2 or 5 times a power
// of ten, on multiples of the step. No Qt.
#pragma once

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

}  // namespace corvalith
