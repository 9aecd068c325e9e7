// The whole trace file of one forecast, line by line, for each filter kind.
// The series (interval 3, 1 2 1 3 1 1 0 9) gives two cycles, so each digit's
// count series has two values and its spectrum can be worked out by hand:
// for a frame (a, b) the transform is (a + b, a - b) and, with the
// normalisation sums empty at n = 2, the score is max((a+b)^2, (a-b)^2).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "predict/digit_predictor.h"
#include "tests/support/owned_series.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::ReadFile;
using testing::TempDir;

const std::vector<double> kSeries = {1, 2, 1, 3, 1, 1, 0, 9};
// Counts per digit in the two cycles (1 2 1 | 3 1 1).
const std::array<std::array<double, 2>, 10> kCounts = {
    {{0, 0}, {2, 2}, {1, 0}, {0, 1}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}};

// The first two taps of a designed kernel.
std::array<double, 2> FirstTaps(int iFType) {
    EXPECT_EQ(OpenFilterLibrary(), 0);
    FilterSpec spec;
    EXPECT_EQ(iFType == 0 ? DesignLPF(spec) : DesignBPF(spec), 0);
    const double* h = detail::KernelTaps(spec.slot);
    const std::array<double, 2> taps = {h[0], h[1]};
    ReleaseKernel(spec.slot);
    spec.slot = -1;
    CloseFilterLibrary();
    return taps;
}

std::string Join(const std::array<double, 2>& v) {
    std::ostringstream out;
    out << v[0] << " " << v[1] << " ";
    return out.str();
}

// The trace a forecast of kSeries must write. iFType 2 is the spectrum predictor.
std::string ExpectedTrace(int iFType) {
    std::ostringstream t;
    t << (iFType == 2 ? "PredictPowerSpectrumDigit" : "PredictDigit") << " called for name\n"
      << "Data Size: 8\nNumber of Cycles: 2\n";
    for (int d = 0; d < 10; ++d) t << "Digit " << d << " counts: " << Join(kCounts[d]) << "\n";
    std::array<double, 10> scores{};
    for (int d = 0; d < 10; ++d) {
        const auto& x = kCounts[d];
        t << "Processing digit " << d << "\n"
          << "ProcessSingleDigit called for Digit " << d << " Count\n";
        std::array<double, 2> y = x;
        if (iFType != 2) {
            t << "fftFlag: 0, iFType: " << iFType << "\n";
            const std::array<double, 2> h = FirstTaps(iFType);
            y = {0.0 + x[0] * h[0], (0.0 + x[1] * h[0]) + x[0] * h[1]};
        }
        t << "Data size: 2, nLen2: 2\nInput data for FFT: " << Join(x) << "\n";
        if (iFType != 2) t << "Filtered data: " << Join(y) << "\n";
        t << "FFT processing succeeded\nSetSpectrum succeeded\n";
        const double sum = y[0] + y[1];
        const double difference = y[0] - y[1];
        scores[d] = std::max(sum * sum, difference * difference);
    }
    for (int d = 0; d < 10; ++d) t << "Power Spectrum for digit " << d << ": " << scores[d] << "\n";
    return t.str();
}

std::string ActualTrace(int iFType) {
    TempDir dir;
    const std::string path = dir.File("trace.txt");
    const testing::OwnedSeries series(kSeries);
    Spectrum self;
    const std::string name = "name";
    const std::string result = iFType == 2
                                   ? PredictPowerSpectrumDigit(self, series.data, name, path, 3)
                                   : PredictDigit(self, series.data, 0, iFType, name, path, 3);
    EXPECT_NE(result, "Error");
    return ReadFile(path);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(PredictorTrace, LowPassForecast) { EXPECT_EQ(Lines(ActualTrace(0)), Lines(ExpectedTrace(0))); }

TEST(PredictorTrace, BandPassForecast) {
    EXPECT_EQ(Lines(ActualTrace(1)), Lines(ExpectedTrace(1)));
}

TEST(PredictorTrace, SpectrumForecast) {
    const std::string trace = ActualTrace(2);
    EXPECT_EQ(Lines(trace), Lines(ExpectedTrace(2)));
    EXPECT_EQ(trace.back(), '\n');
}

TEST(PredictorTrace, TooShortSeriesEndsAtTheFirstDigit) {
    TempDir dir;
    const std::string path = dir.File("trace.txt");
    double values[2] = {1, 2};
    const WAData data{values, 2, 1};
    Spectrum self;
    EXPECT_EQ(PredictDigit(self, data, 0, 0, "x", path, 3), "Error");
    const std::vector<std::string> lines = Lines(ReadFile(path));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], "Number of Cycles: 0");
    EXPECT_EQ(lines[3], "Digit 0 counts: ");
    EXPECT_EQ(lines.back(), "Error in ProcessSingleDigit for digit 0");
    EXPECT_EQ(lines[lines.size() - 2], "Error getting WAData");
}

TEST(PredictorTrace, AppendsToAnExistingFile) {
    TempDir dir;
    const std::string path = dir.Write("trace.txt", "earlier line\n");
    double values[3] = {1, 2, 3};
    const WAData data{values, 3, 1};
    Spectrum self;
    EXPECT_NE(PredictPowerSpectrumDigit(self, data, "x", path, 3), "Error");
    const std::vector<std::string> lines = Lines(ReadFile(path));
    EXPECT_EQ(lines.front(), "earlier line");
    EXPECT_EQ(lines[1], "PredictPowerSpectrumDigit called for x");
}

}  // namespace
}  // namespace corvalith
