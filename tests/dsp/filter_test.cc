// The kernel registry, the two designed kernels and ApplyFilter.
#include "dsp/filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

#include "dsp/filter_registry.h"
#include "dsp/status.h"

namespace corvalith {
namespace {

// Holds the registry open for one test and closes it however the test ends.
class RegistryOpen {
  public:
    RegistryOpen() { EXPECT_EQ(OpenFilterLibrary(), kOk); }
    ~RegistryOpen() { CloseFilterLibrary(); }
};

std::vector<double> Taps(const FilterSpec& spec) {
    const double* taps = detail::KernelTaps(spec.slot);
    return taps ? std::vector<double>(taps, taps + kKernelTaps) : std::vector<double>{};
}

double Blackman(int i) {
    return 0.42 - 0.5 * std::cos(2 * std::numbers::pi * i / 127) +
           0.08 * std::cos(4 * std::numbers::pi * i / 127);
}

// Filters `values` with a fresh kernel of the given design; returns the output.
std::vector<double> Filter(int (*design)(FilterSpec&), std::vector<double> values,
                           std::uint32_t decimation = 1, std::uint32_t* rate = nullptr) {
    RegistryOpen open;
    FilterSpec spec;
    EXPECT_EQ(design(spec), kOk);
    spec.decimation = decimation;
    WAData data{new double[values.size()], static_cast<std::uint32_t>(values.size()), 30};
    std::copy(values.begin(), values.end(), data.samples);
    EXPECT_EQ(ApplyFilter(spec, data), kOk);
    std::vector<double> out(data.samples, data.samples + data.count);
    if (rate) *rate = data.rate;
    ReleaseSamples(data);
    return out;
}

TEST(FilterDesign, LowPassIsAWindowedMovingAverage) {
    RegistryOpen open;
    FilterSpec spec;
    ASSERT_EQ(DesignLPF(spec), kOk);
    EXPECT_EQ(spec.type, 0);
    EXPECT_EQ(spec.sampleRate, 22050);
    EXPECT_EQ(spec.cutoff, 1);
    EXPECT_EQ(spec.bandLow, 0);
    EXPECT_EQ(spec.bandHigh, 0);
    EXPECT_EQ(spec.decimation, 1u);
    const std::vector<double> h = Taps(spec);
    ASSERT_EQ(h.size(), 128u);
    for (int i = 0; i < 128; ++i) EXPECT_NEAR(h[i], Blackman(i) / 128, 1e-15) << i;
    EXPECT_NEAR(h[0], 0.0, 1e-15);
    EXPECT_NEAR(h[63], 0.0078105, 1e-7);
    EXPECT_DOUBLE_EQ(h[63], h[64]);
    EXPECT_NEAR(std::accumulate(h.begin(), h.end(), 0.0), 0.41672, 1e-5);
}

TEST(FilterDesign, BandPassRemovesTheLocalMean) {
    RegistryOpen open;
    FilterSpec spec;
    ASSERT_EQ(DesignBPF(spec), kOk);
    EXPECT_EQ(spec.type, 1);
    EXPECT_EQ(spec.bandLow, 1);
    EXPECT_EQ(spec.bandHigh, 11024);
    EXPECT_EQ(spec.cutoff, 0);
    const std::vector<double> h = Taps(spec);
    EXPECT_NEAR(h[64], Blackman(64) * (1 - 2.0 / 128), 1e-12);
    EXPECT_NEAR(h[64], 0.98413, 1e-5);
    EXPECT_NEAR(h[62], -0.015590, 1e-6);
    EXPECT_NEAR(h[66], -0.015527, 1e-6);
    for (int i = 1; i < 128; i += 2) EXPECT_NEAR(h[i], 0.0, 1e-15) << i;
    for (int i = 0; i < 128; i += 2) {
        if (i != 64) {
            EXPECT_NEAR(h[i], -Blackman(i) / 64, 1e-12) << i;
        }
    }
    EXPECT_NEAR(std::accumulate(h.begin(), h.end(), 0.0), 0.58303, 1e-5);
}

TEST(ApplyFilter, StepResponseOfTwoHundredOnes) {
    const std::vector<double> ones(200, 1.0);
    const std::vector<double> low = Filter(DesignLPF, ones);
    ASSERT_EQ(low.size(), 200u);
    EXPECT_NEAR(low[0], 0.0, 1e-15);
    EXPECT_NEAR(low[63], 0.208359, 1e-6);
    for (int c = 127; c < 200; ++c) EXPECT_NEAR(low[c], 0.41671875, 1e-12) << c;

    const std::vector<double> band = Filter(DesignBPF, ones);
    EXPECT_NEAR(band[64], 0.779676, 1e-6);
    for (int c = 127; c < 200; ++c) EXPECT_NEAR(band[c], 0.583030, 1e-6) << c;
}

TEST(ApplyFilter, ShortSeriesAndDecimation) {
    const std::vector<double> single = Filter(DesignLPF, {5.0});
    ASSERT_EQ(single.size(), 1u);
    EXPECT_NEAR(single[0], 0.0, 1e-14);

    // Fewer samples than taps: every output uses the samples so far.
    std::vector<double> ramp(10);
    std::iota(ramp.begin(), ramp.end(), 1.0);
    const std::vector<double> full = Filter(DesignBPF, ramp);
    ASSERT_EQ(full.size(), 10u);

    std::uint32_t rate = 0;
    const std::vector<double> kept = Filter(DesignBPF, ramp, 3, &rate);
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(rate, 10u);
    for (int k = 0; k < 4; ++k) EXPECT_DOUBLE_EQ(kept[k], full[3 * k]);
}

// The convolution written out output by output: acc = 0.0, then
// acc += x[c-g]*taps[g] for g = 0 .. min(127, c); every decimation-th kept.
std::vector<double> ReferenceConvolution(const std::vector<double>& taps,
                                         const std::vector<double>& x, std::uint32_t decimation) {
    std::vector<double> y;
    for (std::size_t c = 0; c < x.size(); ++c) {
        double acc = 0.0;
        for (std::size_t g = 0; g <= std::min<std::size_t>(127, c); ++g) acc += x[c - g] * taps[g];
        if (c % decimation == 0) y.push_back(acc);
    }
    return y;
}

// Bit-for-bit equality, so that -0.0 against 0.0 or a different last bit fails.
bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(ApplyFilter, EqualsTheReferenceConvolutionBitForBit) {
    std::mt19937_64 random(128);
    std::uniform_real_distribution<double> real(-1e3, 1e3);
    std::uniform_int_distribution<int> digitCount(0, 40);
    for (const auto design : {DesignLPF, DesignBPF}) {
        RegistryOpen open;
        FilterSpec spec;
        ASSERT_EQ(design(spec), kOk);
        const std::vector<double> taps = Taps(spec);
        for (const std::size_t n : {1u, 2u, 7u, 127u, 128u, 129u, 130u, 470u, 705u, 1001u}) {
            for (const bool counts : {true, false}) {
                std::vector<double> x(n);
                for (double& v : x) v = counts ? digitCount(random) : real(random);
                if (!counts && n > 3) x[2] = -0.0;
                for (const std::uint32_t decimation : {1u, 2u, 3u, 7u}) {
                    const std::vector<double> got = Filter(design, x, decimation);
                    EXPECT_TRUE(SameBits(got, ReferenceConvolution(taps, x, decimation)))
                        << "n " << n << (counts ? " counts" : " reals") << " decimation "
                        << decimation;
                }
            }
        }
    }
}

TEST(ApplyFilter, ErrorCodesLeaveTheSeriesAlone) {
    double value = 4.0;
    WAData data{&value, 1, 1};
    FilterSpec none;
    EXPECT_EQ(ApplyFilter(none, data), kRegistryClosed);
    RegistryOpen open;
    EXPECT_EQ(ApplyFilter(none, data), kNoKernel);
    FilterSpec spec;
    ASSERT_EQ(DesignLPF(spec), kOk);
    spec.decimation = 0;
    EXPECT_EQ(ApplyFilter(spec, data), kNoKernel);
    spec.decimation = 1;
    WAData empty{&value, 0, 1};
    EXPECT_EQ(ApplyFilter(spec, empty), kEmptySeries);
    WAData noRate{&value, 1, 0};
    EXPECT_EQ(ApplyFilter(spec, noRate), kEmptySeries);
    WAData noSamples{nullptr, 1, 1};
    EXPECT_EQ(ApplyFilter(spec, noSamples), kBadArgument);
    EXPECT_EQ(data.samples, &value);
    EXPECT_EQ(value, 4.0);
}

TEST(FilterRegistry, SlotsAreLimitedAndReused) {
    EXPECT_EQ(RegisterKernel(std::vector<double>(128, 1.0).data()), kRegistryClosed);
    FilterSpec closed;
    EXPECT_EQ(DesignLPF(closed), kRegistryClosed);
    EXPECT_EQ(closed.slot, -1);
    EXPECT_EQ(closed.type, -1);

    RegistryOpen open;
    FilterSpec twice;
    ASSERT_EQ(DesignLPF(twice), kOk);
    const int first = twice.slot;
    ASSERT_EQ(DesignBPF(twice), kOk);
    EXPECT_EQ(twice.slot, first);  // the first kernel was released, its slot reused
    EXPECT_EQ(twice.type, 1);
    EXPECT_EQ(twice.cutoff, 0);

    const std::vector<double> taps(128, 0.5);
    std::vector<int> slots;
    for (int i = 1; i < kKernelSlots; ++i) slots.push_back(RegisterKernel(taps.data()));
    EXPECT_EQ(slots.back(), kKernelSlots - 1);
    EXPECT_EQ(RegisterKernel(taps.data()), kRegistryFull);
    FilterSpec full;
    EXPECT_EQ(DesignLPF(full), kRegistryFull);
    EXPECT_EQ(full.slot, -1);
    ReleaseKernel(slots[10]);
    EXPECT_EQ(RegisterKernel(taps.data()), slots[10]);
}

TEST(FilterRegistry, LastCloseReleasesEverything) {
    ASSERT_EQ(OpenFilterLibrary(), kOk);
    ASSERT_EQ(OpenFilterLibrary(), kOk);
    const int slot = RegisterKernel(std::vector<double>(128, 1.0).data());
    ASSERT_GE(slot, 0);
    CloseFilterLibrary();
    EXPECT_NE(detail::KernelTaps(slot), nullptr);  // still open once
    CloseFilterLibrary();
    EXPECT_FALSE(detail::FilterLibraryIsOpen());
    EXPECT_EQ(detail::KernelTaps(slot), nullptr);
    CloseFilterLibrary();  // closing a closed registry changes nothing
    EXPECT_FALSE(detail::FilterLibraryIsOpen());
}

TEST(FilterRegistry, EachThreadHasItsOwnTable) {
    RegistryOpen open;
    const std::vector<double> taps(128, 0.25);
    for (int i = 0; i < kKernelSlots; ++i) ASSERT_EQ(RegisterKernel(taps.data()), i);
    // Another thread finds its registry closed, then opens it with every slot free.
    int closedThere = 0, firstThere = -1;
    bool openAfterClose = true;
    std::thread([&] {
        closedThere = RegisterKernel(taps.data());
        (void)OpenFilterLibrary();
        firstThere = RegisterKernel(taps.data());
        CloseFilterLibrary();
        openAfterClose = detail::FilterLibraryIsOpen();
    }).join();
    EXPECT_EQ(closedThere, kRegistryClosed);
    EXPECT_EQ(firstThere, 0);
    EXPECT_FALSE(openAfterClose);
    // Its close released nothing here.
    EXPECT_EQ(RegisterKernel(taps.data()), kRegistryFull);
    EXPECT_NE(detail::KernelTaps(0), nullptr);
}

}  // namespace
}  // namespace corvalith
