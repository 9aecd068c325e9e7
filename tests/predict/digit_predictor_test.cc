// PredictDigit and PredictPowerSpectrumDigit: results on series whose
// ranking is known by construction, and their contract on odd input.
#include "predict/digit_predictor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/predict/test_text.h"
#include "tests/support/owned_series.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::ResultUtf8;
using testing::TempDir;

const std::string kAscending = "パワースペクトル予想: 0, 1, 2, 3, 4, 5, 6, 7, 8, 9";

using Series = testing::OwnedSeries;

// A pseudo-random digit series (fixed seed).
std::vector<double> RandomDigits(std::size_t n, std::uint32_t seed) {
    std::vector<double> v(n);
    for (auto& x : v) {
        seed = seed * 1103515245u + 12345u;
        x = (seed >> 16) % 10;
    }
    return v;
}

std::string Lpf(const std::vector<double>& v, std::uint32_t interval, const std::string& log = "") {
    Series s(v);
    Spectrum self;
    return ResultUtf8(PredictDigit(self, s.data, 0, 0, "x", log, interval));
}

std::string None(const std::vector<double>& v, std::uint32_t interval,
                 const std::string& log = "") {
    Series s(v);
    Spectrum self;
    return ResultUtf8(PredictPowerSpectrumDigit(self, s.data, "x", log, interval));
}

TEST(PredictDigit, EqualScoresRankInAscendingOrder) {
    // Every cycle of ten holds each digit once: ten identical count series.
    std::vector<double> v;
    for (int k = 0; k < 400; ++k) v.push_back((k * 3) % 10);
    EXPECT_EQ(Lpf(v, 10), kAscending);
    EXPECT_EQ(None(v, 10), kAscending);
    Series s(v);
    Spectrum self;
    EXPECT_EQ(ResultUtf8(PredictDigit(self, s.data, 0, 1, "x", "", 10)), kAscending);
}

TEST(PredictDigit, ADominantDigitRanksFirst) {
    // Digit 7 in every draw: its counts are the only nonzero series.
    const std::vector<double> sevens(300, 7.0);
    const std::string expected = "パワースペクトル予想: 7, 0, 1, 2, 3, 4, 5, 6, 8, 9";
    EXPECT_EQ(Lpf(sevens, 15), expected);
    EXPECT_EQ(None(sevens, 15), expected);
}

TEST(PredictDigit, ResultNamesEveryDigitOnce) {
    const std::regex format("パワースペクトル予想: [0-9](, [0-9]){9}");
    for (const std::uint32_t interval : {10u, 12u, 15u, 18u, 20u, 24u, 30u}) {
        const std::vector<double> v = RandomDigits(6500, interval);
        for (const std::string& text : {Lpf(v, interval), None(v, interval)}) {
            ASSERT_TRUE(std::regex_match(text, format)) << text;
            std::string digits;
            for (const char c : text) {
                if (c >= '0' && c <= '9') digits += c;
            }
            std::sort(digits.begin(), digits.end());
            EXPECT_EQ(digits, "0123456789");
        }
    }
}

TEST(PredictDigit, TheIncompleteLastCycleIsIgnored) {
    const std::vector<double> v = RandomDigits(600, 3);
    std::vector<double> longer = v;
    for (int r = 0; r < 14; ++r) longer.push_back(r % 10);
    EXPECT_EQ(Lpf(longer, 15), Lpf(v, 15));
    EXPECT_EQ(None(longer, 15), None(v, 15));
}

TEST(PredictDigit, ErrorForSeriesItCannotUse) {
    EXPECT_EQ(Lpf(RandomDigits(14, 1), 15), "Error");
    EXPECT_EQ(None(RandomDigits(14, 1), 15), "Error");
    EXPECT_EQ(Lpf(RandomDigits(100, 1), 0), "Error");  // no division by zero
    EXPECT_EQ(None(RandomDigits(100, 1), 0), "Error");
    Spectrum self;
    double value = 1.0;
    const WAData noRate{&value, 1, 0};
    const WAData noSamples{nullptr, 5, 1};
    const WAData empty{};
    for (const WAData& data : {noRate, noSamples, empty}) {
        EXPECT_EQ(PredictDigit(self, data, 0, 0, "x", "", 15), "Error");
        EXPECT_EQ(PredictPowerSpectrumDigit(self, data, "x", "", 15), "Error");
    }
}

TEST(PredictDigit, LeavesItsRecordAndSeriesAlone) {
    const std::vector<double> v = RandomDigits(500, 9);
    Series s(v);
    Spectrum self;
    self.fftFlag = 5;
    (void)PredictDigit(self, s.data, 0, 0, "x", "", 15);
    EXPECT_EQ(self.fftFlag, 5);
    EXPECT_EQ(self.count, 0u);
    EXPECT_EQ(self.power, nullptr);
    EXPECT_EQ(std::vector<double>(s.data.samples, s.data.samples + s.data.count), v);
}

TEST(PredictPowerSpectrumDigit, UsesTheHeadWhateverTheRecordHeld) {
    const std::vector<double> v = RandomDigits(700, 4);  // 46 cycles: not a power of two
    Series s(v);
    Spectrum head;
    const std::string fromHead = PredictPowerSpectrumDigit(head, s.data, "x", "", 15);
    Spectrum tail;
    tail.fftFlag = 1;
    EXPECT_EQ(PredictPowerSpectrumDigit(tail, s.data, "x", "", 15), fromHead);
    EXPECT_EQ(tail.fftFlag, 0);

    Spectrum failing;
    failing.fftFlag = -1;
    EXPECT_EQ(PredictPowerSpectrumDigit(failing, s.data, "x", "", 800), "Error");
    EXPECT_EQ(failing.fftFlag, 0);  // set before the pipeline failed

    Spectrum invalid;
    invalid.fftFlag = 2;
    const WAData empty{};
    EXPECT_EQ(PredictPowerSpectrumDigit(invalid, empty, "x", "", 15), "Error");
    EXPECT_EQ(invalid.fftFlag, 2);  // refused before it was touched
}

TEST(PredictDigit, ResultDoesNotDependOnTheTrace) {
    TempDir dir;
    const std::vector<double> v = RandomDigits(900, 5);
    const std::string plain = Lpf(v, 18);
    EXPECT_EQ(Lpf(v, 18, dir.File("trace.txt")), plain);
    EXPECT_EQ(Lpf(v, 18, dir.path()), plain);
    EXPECT_EQ(Lpf(v, 18, "/dev/full"), plain);
    EXPECT_EQ(Lpf(v, 18, dir.File("missing-dir/trace.txt")), plain);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing-dir")));
    // An invalid series opens no trace at all.
    Spectrum self;
    EXPECT_EQ(PredictDigit(self, WAData{}, 0, 0, "x", dir.File("none.txt"), 15), "Error");
    EXPECT_EQ(PredictDigit(self, Series(v).data, 0, 0, "x", dir.File("zero.txt"), 0), "Error");
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("zero.txt")));
}

// The detailed forms return the same text, and the ranking is the scores'
// descending order with ties by digit.
TEST(ForecastDigit, SameTextScoresOrderTheRanking) {
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
        const std::vector<double> v = RandomDigits(1200, seed);
        for (const std::int32_t kind : {0, 1, 2}) {
            SCOPED_TRACE(kind);
            Series s(v);
            Spectrum self;
            const DigitForecast forecast =
                kind == 2 ? ForecastPowerSpectrumDigit(self, s.data, "x", "", 15)
                          : ForecastDigit(self, s.data, 0, kind, "x", "", 15);
            Spectrum other;
            const std::string text = kind == 2
                                         ? PredictPowerSpectrumDigit(other, s.data, "x", "", 15)
                                         : PredictDigit(other, s.data, 0, kind, "x", "", 15);
            EXPECT_EQ(forecast.text, text);
            ASSERT_TRUE(forecast.ranked);
            std::string digits;
            for (int i = 0; i < 10; ++i) {
                if (i != 0) digits += ", ";
                digits += std::to_string(forecast.ranking[i]);
            }
            EXPECT_EQ(ResultUtf8(forecast.text), "パワースペクトル予想: " + digits);
            std::vector<int> seen(forecast.ranking.begin(), forecast.ranking.end());
            std::sort(seen.begin(), seen.end());
            for (int d = 0; d < 10; ++d) EXPECT_EQ(seen[d], d);
            for (int i = 1; i < 10; ++i) {
                const double before = forecast.scores[forecast.ranking[i - 1]];
                const double after = forecast.scores[forecast.ranking[i]];
                EXPECT_TRUE(before > after ||
                            (before == after && forecast.ranking[i - 1] < forecast.ranking[i]));
            }
        }
    }
    Spectrum self;
    const DigitForecast failed = ForecastDigit(self, WAData{}, 0, 0, "x", "", 15);
    EXPECT_EQ(failed.text, "Error");
    EXPECT_FALSE(failed.ranked);
    EXPECT_EQ(ForecastPowerSpectrumDigit(self, Series({1, 2}).data, "x", "", 15).text, "Error");
}

}  // namespace
}  // namespace corvalith
