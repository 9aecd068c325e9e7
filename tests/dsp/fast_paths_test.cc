// The pieces that let a caller repeat the pipeline's arithmetic quickly: the
// transform on precomputed tables, the kernel taps without the registry, the
// convolution alone and the normalised peak. Each is held bit for bit to the
// function it stands in for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "dsp/fft.h"
#include "dsp/fft_plan.h"
#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "dsp/spectrum.h"
#include "dsp/status.h"

namespace corvalith {
namespace {

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    return a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

std::vector<double> RandomSeries(std::size_t n, std::uint32_t seed, bool counts) {
    std::mt19937 rng(seed);
    std::vector<double> values(n);
    for (double& v : values) {
        v = counts ? static_cast<double>(rng() % 31) : std::uniform_real_distribution<>(-5, 5)(rng);
    }
    return values;
}

TEST(FftPlan, GivesComputeFftsBitsForEverySizeUpTo4096) {
    for (std::uint32_t n = 1; n <= 4096; n *= 2) {
        for (const bool counts : {true, false}) {
            const std::vector<double> in = RandomSeries(n, n * 3 + counts, counts);
            std::vector<double> re(n), im(n), planRe(n), planIm(n);
            ASSERT_EQ(ComputeFFT(in.data(), re.data(), im.data(), n, 0), kOk);
            const FftPlan plan(n);
            EXPECT_EQ(plan.size(), n);
            plan.Forward(in.data(), planRe.data(), planIm.data());
            EXPECT_TRUE(SameBits(re, planRe)) << "n = " << n;
            EXPECT_TRUE(SameBits(im, planIm)) << "n = " << n;
            // One plan serves many frames.
            const std::vector<double> other = RandomSeries(n, n + 99, counts);
            ASSERT_EQ(ComputeFFT(other.data(), re.data(), im.data(), n, 0), kOk);
            plan.Forward(other.data(), planRe.data(), planIm.data());
            EXPECT_TRUE(SameBits(re, planRe) && SameBits(im, planIm)) << "n = " << n;
        }
    }
}

TEST(FftPlan, ComputeFftStillRefusesSizesThatAreNotPowersOfTwo) {
    std::vector<double> in(12, 1.0), re(12, 7.0), im(12, 7.0);
    EXPECT_EQ(ComputeFFT(in.data(), re.data(), im.data(), 12, 0), kBadArgument);
    EXPECT_EQ(ComputeFFT(in.data(), re.data(), im.data(), 0, 0), kBadArgument);
    EXPECT_EQ(re, std::vector<double>(12, 7.0));
}

// The taps the registry holds after a design on a freshly opened registry.
std::vector<double> RegisteredTaps(int (*design)(FilterSpec&)) {
    EXPECT_EQ(OpenFilterLibrary(), kOk);
    std::vector<double> taps;
    {
        FilterSpec spec;
        EXPECT_EQ(design(spec), kOk);
        const double* registered = detail::KernelTaps(spec.slot);
        if (registered != nullptr) taps.assign(registered, registered + kKernelTaps);
    }
    CloseFilterLibrary();
    return taps;
}

TEST(KernelTaps, AreTheRegisteredKernelsBitForBitWithTheRegistryClosed) {
    ASSERT_FALSE(detail::FilterLibraryIsOpen());
    std::vector<double> lowPass(kKernelTaps), bandPass(kKernelTaps);
    EXPECT_EQ(detail::LowPassTaps(lowPass.data()), kOk);
    EXPECT_EQ(detail::BandPassTaps(bandPass.data()), kOk);
    EXPECT_FALSE(detail::FilterLibraryIsOpen());
    EXPECT_TRUE(SameBits(lowPass, RegisteredTaps(DesignLPF)));
    EXPECT_TRUE(SameBits(bandPass, RegisteredTaps(DesignBPF)));
    EXPECT_FALSE(SameBits(lowPass, bandPass));
}

TEST(ConvolveCausal, IsApplyFiltersOutputAndEachPrefixsOutputIsAPrefix) {
    const std::vector<double> x = RandomSeries(300, 5, true);
    std::vector<double> taps(kKernelTaps);
    ASSERT_EQ(detail::LowPassTaps(taps.data()), kOk);

    std::vector<double> whole(x.size());
    EXPECT_EQ(detail::ConvolveCausal(taps.data(), x.data(), 300, 1, whole.data()), 300u);
    // The direct form, each output summed in increasing tap order.
    std::vector<double> direct(x.size());
    for (std::size_t c = 0; c < x.size(); ++c) {
        double acc = 0.0;
        for (std::size_t g = 0; g <= std::min<std::size_t>(c, kKernelTaps - 1); ++g) {
            acc += x[c - g] * taps[g];
        }
        direct[c] = acc;
    }
    EXPECT_TRUE(SameBits(whole, direct));
    for (const std::uint32_t length : {0u, 1u, 126u, 127u, 128u, 129u, 130u, 131u, 299u}) {
        std::vector<double> part(length);
        EXPECT_EQ(detail::ConvolveCausal(taps.data(), x.data(), length, 1, part.data()), length);
        EXPECT_TRUE(SameBits(part, {direct.begin(), direct.begin() + length})) << length;
    }

    ASSERT_EQ(OpenFilterLibrary(), kOk);
    {
        FilterSpec spec;
        ASSERT_EQ(DesignLPF(spec), kOk);
        for (const std::uint32_t length : {1u, 2u, 127u, 128u, 129u, 300u}) {
            WAData data{new double[length], length, 1};
            std::copy(x.begin(), x.begin() + length, data.samples);
            ASSERT_EQ(ApplyFilter(spec, data), kOk);
            const std::vector<double> filtered(data.samples, data.samples + data.count);
            ReleaseSamples(data);
            EXPECT_TRUE(SameBits(filtered, {whole.begin(), whole.begin() + length}))
                << "length " << length;
        }
    }
    CloseFilterLibrary();

    std::vector<double> decimated(x.size());
    EXPECT_EQ(detail::ConvolveCausal(taps.data(), x.data(), 10, 3, decimated.data()), 4u);
    EXPECT_EQ(decimated[1], whole[3]);
    EXPECT_EQ(decimated[3], whole[9]);
}

TEST(NormalisedPeak, IsTheLargestValueThatNormaliseLeavesAndItsPartsAreNormalisesSteps) {
    for (std::uint32_t n = 1; n <= 1024; n = n * 2 + (n % 3)) {
        for (const double scale : {1.0, 1e-9, 1e6}) {
            std::vector<double> values = RandomSeries(n, n, false);
            for (double& v : values) v = v * v * scale;
            std::vector<double> roots(n);
            for (std::uint32_t i = 0; i < n; ++i) roots[i] = std::sqrt(values[i]);
            double sum = -1.0;
            double rootSum = -1.0;
            detail::NormalisationSums(values.data(), roots.data(), n, sum, rootSum);
            EXPECT_EQ(sum, detail::NormalisationSum(values.data(), n));
            EXPECT_EQ(rootSum, detail::NormalisationSum(roots.data(), n));
            EXPECT_EQ(detail::Peak(values.data(), n),
                      *std::max_element(values.begin(), values.end()));

            const double peak = detail::NormalisedPeak(values.data(), n);
            EXPECT_EQ(peak, detail::PeakAfterDivision(detail::Peak(values.data(), n), sum));
            std::vector<double> divided = values;
            detail::DivideBySum(divided.data(), n, sum);
            detail::Normalise(values.data(), n);
            EXPECT_TRUE(SameBits(divided, values));
            EXPECT_EQ(peak, *std::max_element(values.begin(), values.end()))
                << "n = " << n << ", scale " << scale;
        }
    }
}

}  // namespace
}  // namespace corvalith
