// A one-line plain reading in Japanese of each randomness test, at the
// reports' level of 5 %, for readers who do not read p-values.
#pragma once

#include <string>

#include "evaluate/randomness.h"

namespace corvalith {

[[nodiscard]] std::string FrequencyReading(const evaluate::ChiSquareTest& test);
[[nodiscard]] std::string SerialReading(const evaluate::ChiSquareTest& test);
// `repeats` of `trials` against the expected tenth.
[[nodiscard]] std::string RepeatReading(std::uint64_t repeats, std::uint64_t trials, double pValue);
[[nodiscard]] std::string PairReading(const evaluate::ChiSquareTest& test);

}  // namespace corvalith
