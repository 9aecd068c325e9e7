// The reference figures of scripts/make_statistics_reference.py and the
// comparison the tests use on them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>

namespace corvalith::testing {

inline const nlohmann::json& StatisticsReference() {
    static const nlohmann::json reference =
        nlohmann::json::parse(std::ifstream(CORVALITH_STATISTICS_REFERENCE));
    return reference;
}

// Relative agreement; an expected 0 must be met exactly. The reference is
// exact to about 1e-15; the library stays within 1e-13 except for the tiny
// tails at n = 1,000,000 (6e-13), so 1e-11 leaves room for Boost's rounding
// while a wrong formula misses by far more.
inline void ExpectClose(double actual, double expected, double relative = 1e-11) {
    if (expected == 0.0) {
        EXPECT_EQ(actual, 0.0);
    } else {
        EXPECT_NEAR(actual, expected, relative * std::abs(expected));
    }
}

}  // namespace corvalith::testing
