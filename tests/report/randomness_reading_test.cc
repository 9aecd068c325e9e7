// The plain readings of the randomness tests: the level is the reports' 5 %,
// and a repeat reading says which way the count departs from a tenth.
#include "report/randomness_reading.h"

#include <gtest/gtest.h>

#include "report/text_report.h"

namespace corvalith {
namespace {

evaluate::ChiSquareTest WithP(double p) { return {1.0, 9, p}; }

TEST(RandomnessReading, EachTestReadsChanceOrNotAtTheReportsLevel) {
    using Reading = std::string (*)(const evaluate::ChiSquareTest&);
    for (const Reading reading : {&FrequencyReading, &SerialReading, &PairReading}) {
        const std::string chance = reading(WithP(evaluate::kSignificance));
        const std::string departs = reading(WithP(evaluate::kSignificance / 2));
        EXPECT_NE(chance, departs);
        EXPECT_EQ(reading(WithP(1.0)), chance);
        EXPECT_EQ(reading(WithP(0.0)), departs);
    }
    EXPECT_NE(FrequencyReading(WithP(0.5)), PairReading(WithP(0.5)));
}

TEST(RandomnessReading, RepeatsSayWhichWay) {
    const std::string chance = RepeatReading(100, 1000, 0.9);
    const std::string many = RepeatReading(150, 1000, 0.0001);
    const std::string few = RepeatReading(50, 1000, 0.0001);
    EXPECT_NE(many, few);
    EXPECT_NE(many, chance);
    EXPECT_NE(many.find("多く"), std::string::npos);
    EXPECT_NE(few.find("少なく"), std::string::npos);
    EXPECT_EQ(RepeatReading(150, 1000, evaluate::kSignificance), chance);
}

}  // namespace
}  // namespace corvalith
