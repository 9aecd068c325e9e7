// Tests of whether a history looks like independent uniform digits.
//
// A value is a digit when it is a whole number from 0 to 9; any other value
// (a non-digit character of the result field) is left out of every table. In
// the repeat test it is never equal to its neighbours: it is a trial that is
// not a repeat. Every chi-square test without any data has chi2 0 and p 1.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "history/draw_table.h"

namespace corvalith::evaluate {

struct ChiSquareTest {
    double chi2 = 0.0;
    int df = 0;
    double pValue = 1.0;
};

struct PositionRandomness {
    std::array<std::uint64_t, 10> counts{};  // digits 0-9 (other values are left out)
    ChiSquareTest frequency;                 // counts against uniform, df 9
    std::uint64_t serialPairs = 0;           // non-overlapping pairs (draws 1&2, 3&4, ...)
                                             // of two digits
    ChiSquareTest serial;                    // 10 x 10 pair table against uniform, df 99
    std::uint64_t repeatTrials = 0;          // draws - 1 (0 without draws)
    std::uint64_t repeats = 0;               // digits equal to the draw before
    double repeatPValue = 1.0;               // two-sided exact binomial against 0.1
};

// Independence of two positions: the 10 x 10 table of the draws where both
// are digits, expected counts from its margins. Cells of an empty row or
// column (expected 0) add nothing; df stays 81 even then, which only makes
// the p-value larger.
struct PairIndependence {
    std::array<std::size_t, 2> positions{};  // e.g. {0, 1}: thousands and hundreds
    ChiSquareTest test;                      // 10 x 10 table, df 81
};

struct RandomnessResult {
    std::array<PositionRandomness, kPositionCount> positions;
    std::array<PairIndependence, 6> pairs;  // 0-1, 0-2, 0-3, 1-2, 1-3, 2-3
};

// Each position is read from its own value vector of `table` (all of them
// as long as `numbers` in a loaded table); a pair uses the draws both have.
[[nodiscard]] RandomnessResult TestRandomness(const DrawTable& table);

// The same, looking at `cancel` (may be null) before each position and each
// pair: nothing once it was seen set. With `share`, reports the share of the
// positions and pairs done after each. May throw std::bad_alloc.
[[nodiscard]] std::optional<RandomnessResult> TestRandomness(
    const DrawTable& table, const std::atomic<bool>* cancel,
    const std::function<void(double share)>& share = {});

}  // namespace corvalith::evaluate
