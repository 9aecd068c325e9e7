// ProcessSingleDigit: frame placement, the filter kinds, its failure codes
// and its trace lines.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <numeric>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "dsp/fft.h"
#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "dsp/spectrum.h"
#include "dsp/status.h"
#include "tests/support/owned_series.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::ReadFile;
using testing::TempDir;

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<double> Ramp(std::size_t n) {
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<double>((i * 7) % 11);
    return v;
}

// A series owned for one test.
using Series = testing::OwnedSeries;

// The spectrum SetSpectrum makes from the transform of `frame`.
std::vector<double> PowerOf(const std::vector<double>& frame) {
    const auto n = static_cast<std::uint32_t>(frame.size());
    std::vector<double> re(n), im(n);
    EXPECT_EQ(ComputeFFT(frame.data(), re.data(), im.data(), n, 0), kOk);
    Spectrum s;
    EXPECT_EQ(s.SetSpectrum(re.data(), im.data(), n, 1), kOk);
    return std::vector<double>(s.power.get(), s.power.get() + n);
}

std::vector<double> PowerOf(const Spectrum& s) {
    return std::vector<double>(s.power.get(), s.power.get() + s.count);
}

TEST(ProcessSingleDigit, PlacesTheFrame) {
    const std::vector<double> v = Ramp(20);
    const std::vector<double> head(v.begin(), v.begin() + 16);
    const std::vector<double> tail(v.begin() + 4, v.end());
    const std::vector<double> center(v.begin() + 2, v.begin() + 18);
    const std::pair<int, const std::vector<double>*> cases[] = {
        {0, &head}, {1, &tail}, {2, &center}};
    for (const auto& [flag, frame] : cases) {
        Series series(v);
        Spectrum out;
        ASSERT_EQ(out.ProcessSingleDigit(series.data, 20, flag, "x", "", 1), kOk) << flag;
        EXPECT_EQ(out.count, 16u);
        EXPECT_EQ(PowerOf(out), PowerOf(*frame)) << flag;
    }
    // 21 values, centre: S = floor(5 / 2) = 2.
    const std::vector<double> w = Ramp(21);
    Series odd(w);
    Spectrum out;
    ASSERT_EQ(out.ProcessSingleDigit(odd.data, 21, 2, "x", "", 1), kOk);
    EXPECT_EQ(PowerOf(out), PowerOf(std::vector<double>(w.begin() + 2, w.begin() + 18)));
}

TEST(ProcessSingleDigit, PowerOfTwoLengthIgnoresTheFlag) {
    TempDir dir;
    const std::string trace = dir.File("trace.txt");
    Series exact(Ramp(32));
    Spectrum a;
    EXPECT_EQ(a.ProcessSingleDigit(exact.data, 32, 7, "x", trace, 1), kOk);
    EXPECT_EQ(PowerOf(a), PowerOf(Ramp(32)));

    Series longer(Ramp(33));
    Spectrum b;
    EXPECT_EQ(b.ProcessSingleDigit(longer.data, 33, 7, "y", trace, 1), kBadArgument);
    EXPECT_EQ(b.count, 0u);
    EXPECT_EQ(Lines(trace).back(), "Undefined FFT processing flag");

    Series one({4.0});
    Spectrum c;
    EXPECT_EQ(c.ProcessSingleDigit(one.data, 1, 0, "z", "", 1), kOk);
    EXPECT_EQ(c.count, 1u);
    EXPECT_DOUBLE_EQ(c.power[0], 16.0);
}

TEST(ProcessSingleDigit, HeadAndTailPlacement) {
    const std::vector<double> v = Ramp(24);
    Series series(v);
    Spectrum out;
    ASSERT_EQ(out.ProcessSingleDigit(series.data, 24, -1, "x", "", 1), kOk);
    ASSERT_EQ(out.count, 16u);
    // The record's re holds the averaged power; power is its normalised square sum.
    const std::vector<double> head = PowerOf(std::vector<double>(v.begin(), v.begin() + 16));
    const std::vector<double> tail = PowerOf(std::vector<double>(v.begin() + 8, v.end()));
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(out.re[i], (head[i] + tail[i]) * 0.5, 1e-12) << i;
}

TEST(ProcessSingleDigit, FilteringTraceHasSevenLines) {
    TempDir dir;
    const std::string trace = dir.File("trace.txt");
    Series series({1, 0, 2, 1});
    Spectrum out;
    ASSERT_EQ(out.ProcessSingleDigit(series.data, 4, 0, 0, "Digit 3 Count", trace, 15), kOk);
    EXPECT_EQ(out.interval, 15u);

    // The filtered values, from the same kernel applied on its own.
    ASSERT_EQ(OpenFilterLibrary(), kOk);
    FilterSpec spec;
    ASSERT_EQ(DesignLPF(spec), kOk);
    Series expected({1, 0, 2, 1});
    ASSERT_EQ(ApplyFilter(spec, expected.data), kOk);
    ReleaseKernel(spec.slot);
    spec.slot = -1;
    CloseFilterLibrary();
    std::ostringstream filtered;
    filtered << "Filtered data: ";
    for (std::uint32_t i = 0; i < 4; ++i) filtered << expected.data.samples[i] << " ";

    const std::vector<std::string> lines = Lines(trace);
    const std::vector<std::string> want = {
        "ProcessSingleDigit called for Digit 3 Count",
        "fftFlag: 0, iFType: 0",
        "Data size: 4, nLen2: 4",
        "Input data for FFT: 1 0 2 1 ",
        filtered.str(),
        "FFT processing succeeded",
        "SetSpectrum succeeded",
    };
    EXPECT_EQ(lines, want);
    // The caller's series now holds the filtered samples.
    for (std::uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(series.data.samples[i], expected.data.samples[i]);
    EXPECT_FALSE(detail::FilterLibraryIsOpen());
}

TEST(ProcessSingleDigit, UnfilteredAndNoneKinds) {
    TempDir dir;
    const std::string trace = dir.File("trace.txt");
    Series series({3, 1});
    const double* before = series.data.samples;
    Spectrum out;
    ASSERT_EQ(out.ProcessSingleDigit(series.data, 2, 0, 2, "n", trace, 1), kOk);
    EXPECT_EQ(series.data.samples, before);  // kind 2 designs and applies nothing
    Spectrum plain;
    ASSERT_EQ(plain.ProcessSingleDigit(std::as_const(series.data), 2, 0, "p", trace, 1), kOk);
    EXPECT_EQ(PowerOf(out), PowerOf(plain));
    const std::vector<std::string> want = {"ProcessSingleDigit called for n",
                                           "fftFlag: 0, iFType: 2",
                                           "Data size: 2, nLen2: 2",
                                           "Input data for FFT: 3 1 ",
                                           "Filtered data: 3 1 ",
                                           "FFT processing succeeded",
                                           "SetSpectrum succeeded",
                                           "ProcessSingleDigit called for p",
                                           "Data size: 2, nLen2: 2",
                                           "Input data for FFT: 3 1 ",
                                           "FFT processing succeeded",
                                           "SetSpectrum succeeded"};
    EXPECT_EQ(Lines(trace), want);
}

TEST(ProcessSingleDigit, BandPassAnalysesTheFilteredSeries) {
    const std::vector<double> v = Ramp(40);
    Series series(v);
    Spectrum out;
    ASSERT_EQ(out.ProcessSingleDigit(series.data, 40, 0, 1, "b", "", 1), kOk);
    const std::vector<double> filtered(series.data.samples, series.data.samples + 32);
    EXPECT_EQ(PowerOf(out), PowerOf(filtered));
    EXPECT_NE(filtered, std::vector<double>(v.begin(), v.begin() + 32));
}

TEST(ProcessSingleDigit, FailuresAndTheirTraceLines) {
    TempDir dir;
    struct Case {
        const char* name;
        std::uint32_t count;
        std::uint32_t nLen;
        std::uint32_t interval;
        int expected;
        const char* lastLine;
    };
    const Case cases[] = {
        {"empty series", 0, 0, 1, kBadArgument, "Error getting WAData"},
        {"nLen beyond the series", 4, 5, 1, kBadArgument, "Error getting WAData"},
        {"interval 0", 4, 4, 0, kBadArgument, "SetSpectrum failed with error code: -1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string trace = dir.File(std::string(c.name) + ".txt");
        Series series(std::vector<double>(c.count, 1.0));
        if (c.count == 0) ReleaseSamples(series.data);
        Spectrum out;
        EXPECT_EQ(out.ProcessSingleDigit(series.data, c.nLen, 0, 1, c.name, trace, c.interval),
                  c.expected);
        EXPECT_EQ(out.count, 0u);
        const std::vector<std::string> lines = Lines(trace);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), c.lastLine);
        if (c.count == 0) {
            for (const auto& line : lines)
                EXPECT_EQ(line.rfind("Data size: ", 0), std::string::npos);
        }
        EXPECT_FALSE(detail::FilterLibraryIsOpen());
    }
}

TEST(ProcessSingleDigit, LengthZeroCutsOnlyAHeadFrame) {
    // nLen 0 still gets a one-sample frame. The head holds it; a tail or centre
    // frame would begin before the series (found by the pipeline fuzzer) and is
    // refused, as the head-and-tail placement refuses it.
    TempDir dir;
    for (const int flag : {1, 2, -1}) {
        SCOPED_TRACE(flag);
        const std::string trace = dir.File("trace" + std::to_string(flag) + ".txt");
        Series filtered(Ramp(20));
        Series plain(Ramp(20));
        Spectrum a, b;
        EXPECT_EQ(a.ProcessSingleDigit(filtered.data, 0, flag, 0, "x", trace, 1), kBadArgument);
        EXPECT_EQ(Lines(trace).back(), "FFT processing failed with error code: -1");
        EXPECT_EQ(b.ProcessSingleDigit(std::as_const(plain.data), 0, flag, "x", "", 1),
                  kBadArgument);
        EXPECT_EQ(a.count, 0u);
        EXPECT_EQ(b.count, 0u);
        EXPECT_FALSE(detail::FilterLibraryIsOpen());
    }
    Series head({4.0, 1.0});
    Spectrum c;
    ASSERT_EQ(c.ProcessSingleDigit(head.data, 0, 0, "x", "", 1), kOk);
    EXPECT_EQ(c.count, 1u);
    EXPECT_DOUBLE_EQ(c.power[0], 16.0);
}

TEST(ProcessSingleDigit, LengthBeyondTheSeriesAllocatesNothing) {
    // nLen sets the size of the work arrays; checked after them (found by the
    // pipeline fuzzer), 2^25 would zero-fill two arrays of 256 MiB for nothing.
    TempDir dir;
    const std::string trace = dir.File("trace.txt");
    Series filtered(Ramp(20));
    Series plain(Ramp(20));
    rusage before{};
    ASSERT_EQ(getrusage(RUSAGE_SELF, &before), 0);
    Spectrum a, b;
    EXPECT_EQ(a.ProcessSingleDigit(filtered.data, 1u << 25, 0, 0, "x", trace, 1), kBadArgument);
    EXPECT_EQ(b.ProcessSingleDigit(std::as_const(plain.data), 1u << 25, 0, "x", "", 1),
              kBadArgument);
    rusage after{};
    ASSERT_EQ(getrusage(RUSAGE_SELF, &after), 0);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // kilobytes
    EXPECT_EQ(Lines(trace).back(), "Error getting WAData");
    EXPECT_EQ(a.count, 0u);
    EXPECT_EQ(b.count, 0u);
}

TEST(ProcessSingleDigit, LowPassFailureEndsTheRunAndClosesTheRegistry) {
    // With every slot taken the design fails, so ApplyFilter reports -202.
    ASSERT_EQ(OpenFilterLibrary(), kOk);
    const std::vector<double> taps(128, 0.0);
    for (int i = 0; i < kKernelSlots; ++i) ASSERT_GE(RegisterKernel(taps.data()), 0);
    TempDir dir;
    const std::string trace = dir.File("trace.txt");
    Series low({1, 2, 3, 4});
    Spectrum a;
    EXPECT_EQ(a.ProcessSingleDigit(low.data, 4, 0, 0, "l", trace, 1), kNoKernel);
    EXPECT_EQ(Lines(trace).back(), "Filtering failed with error code: -202");
    // The band-pass run goes on silently with the unfiltered series.
    Series band({1, 2, 3, 4});
    Spectrum b;
    EXPECT_EQ(b.ProcessSingleDigit(band.data, 4, 0, 1, "b", "", 1), kOk);
    EXPECT_EQ(PowerOf(b), PowerOf(std::vector<double>{1, 2, 3, 4}));
    CloseFilterLibrary();
    EXPECT_FALSE(detail::FilterLibraryIsOpen());
}

TEST(ProcessSingleDigit, UnwritableTraceChangesNothing) {
    TempDir dir;
    const std::vector<double> v = Ramp(20);
    Series a(v), b(v), c(v);
    Spectrum withTrace, withDirectory, withFull;
    ASSERT_EQ(withTrace.ProcessSingleDigit(a.data, 20, 0, 0, "x", dir.File("t"), 1), kOk);
    ASSERT_EQ(withDirectory.ProcessSingleDigit(b.data, 20, 0, 0, "x", dir.path(), 1), kOk);
    ASSERT_EQ(withFull.ProcessSingleDigit(c.data, 20, 0, 0, "x", "/dev/full", 1), kOk);
    EXPECT_EQ(PowerOf(withTrace), PowerOf(withDirectory));
    EXPECT_EQ(PowerOf(withTrace), PowerOf(withFull));
}

}  // namespace
}  // namespace corvalith
