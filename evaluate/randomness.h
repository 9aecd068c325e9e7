// Tests of whether a history looks like independent uniform digits.
#pragma once

#include <array>
#include <cstdint>

#include "history/draw_table.h"

namespace corvalith::evaluate {

struct ChiSquareTest {
    double chi2 = 0.0;
    int df = 0;
    double pValue = 1.0;
};

struct PositionRandomness {
    std::array<std::uint64_t, 10> counts{};  // digits 0-9 (other values are left out)
    ChiSquareTest frequency;                 // df 9
    std::uint64_t serialPairs = 0;           // non-overlapping pairs (draws 1&2, 3&4, ...)
    ChiSquareTest serial;                    // 10 x 10 table, df 99
    std::uint64_t repeatTrials = 0;          // draws - 1
    std::uint64_t repeats = 0;               // draws equal to the one before
    double repeatPValue = 1.0;               // two-sided exact binomial against 0.1
};

struct PairIndependence {
    std::array<std::size_t, 2> positions{};  // e.g. {0, 1}: thousands and hundreds
    ChiSquareTest test;                      // 10 x 10 table, df 81
};

struct RandomnessResult {
    std::array<PositionRandomness, kPositionCount> positions;
    std::array<PairIndependence, 6> pairs;  // 0-1, 0-2, 0-3, 1-2, 1-3, 2-3
};

[[nodiscard]] RandomnessResult TestRandomness(const DrawTable& table);

}  // namespace corvalith::evaluate
