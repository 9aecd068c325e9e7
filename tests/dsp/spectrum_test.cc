// SetSpectrum's normalisation (worked example of a ramp of eight values) and
// the head-and-tail spectrum.
#include "dsp/spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/fft.h"
#include "dsp/head_tail_spectrum.h"
#include "dsp/status.h"

namespace corvalith {
namespace {

std::vector<double> Values(const std::unique_ptr<double[]>& a, std::uint32_t n) {
    return std::vector<double>(a.get(), a.get() + n);
}

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected,
                double tolerance) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "bin " << i;
    }
}

TEST(SetSpectrum, RampOfEight) {
    const std::vector<double> x = {1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<double> re(8), im(8);
    ASSERT_EQ(ComputeFFT(x.data(), re.data(), im.data(), 8, 0), kOk);
    ExpectNear(re, {36, -4, -4, -4, -4, -4, -4, -4}, 1e-9);
    ExpectNear(im, {0, 9.656854, 4, 1.656854, 0, -1.656854, -4, -9.656854}, 1e-6);

    Spectrum s;
    ASSERT_EQ(s.SetSpectrum(re.data(), im.data(), 8, 15), kOk);
    EXPECT_EQ(s.count, 8u);
    EXPECT_EQ(s.interval, 15u);
    EXPECT_EQ(Values(s.re, 8), re);
    EXPECT_EQ(Values(s.im, 8), im);
    ExpectNear(Values(s.power, 8),
               {9.174907, 0.773459, 0.226541, 0.132705, 0.113270, 0.132705, 0.226541, 0.773459},
               1e-6);
    ExpectNear(Values(s.amplitude, 8),
               {2.234726, 0.648847, 0.351153, 0.268761, 0.248303, 0.268761, 0.351153, 0.648847},
               1e-6);
    // The sums behind it: bins 1 and 2 only.
    EXPECT_NEAR(s.power[0] * 141.254834, 1296.0, 1e-3);

    std::vector<double> out;
    ASSERT_TRUE(s.GetPowerSpectrum(out));
    EXPECT_EQ(out, Values(s.power, 8));
}

TEST(SetSpectrum, SmallSumsLeaveArraysUnnormalised) {
    // A constant series: everything in bin 0.
    std::vector<double> x(8, 3.0), re(8), im(8);
    ASSERT_EQ(ComputeFFT(x.data(), re.data(), im.data(), 8, 0), kOk);
    Spectrum constant;
    ASSERT_EQ(constant.SetSpectrum(re.data(), im.data(), 8, 1), kOk);
    EXPECT_DOUBLE_EQ(constant.power[0], 576.0);
    for (int i = 1; i < 8; ++i) EXPECT_NEAR(constant.power[i], 0.0, 1e-20);

    // A cosine on bin 3 of 8: the summed bins 1 and 2 are empty.
    for (int i = 0; i < 8; ++i) x[i] = std::cos(2 * std::numbers::pi * 3 * i / 8);
    ASSERT_EQ(ComputeFFT(x.data(), re.data(), im.data(), 8, 0), kOk);
    Spectrum tone;
    ASSERT_EQ(tone.SetSpectrum(re.data(), im.data(), 8, 1), kOk);
    EXPECT_NEAR(tone.power[3], 16.0, 1e-9);

    // n = 1, 2, 4: empty sums, not a read out of bounds.
    for (const std::uint32_t n : {1u, 2u, 4u}) {
        const std::vector<double> r(n, 2.0), i(n, 0.0);
        Spectrum s;
        ASSERT_EQ(s.SetSpectrum(r.data(), i.data(), n, 1), kOk);
        EXPECT_EQ(Values(s.power, n), std::vector<double>(n, 4.0));
        EXPECT_EQ(detail::NormalisationSum(r.data(), n), 0.0);
    }
}

TEST(SetSpectrum, SumCoversBinsOneToHalfMinusTwo) {
    std::vector<double> re(16, 0.0), im(16, 0.0);
    for (int i = 1; i <= 7; ++i) re[i] = re[16 - i] = 1.0;
    Spectrum s;
    ASSERT_EQ(s.SetSpectrum(re.data(), im.data(), 16, 1), kOk);
    for (int i = 0; i < 16; ++i) {
        EXPECT_DOUBLE_EQ(s.power[i], (i == 0 || i == 8) ? 0.0 : 1.0 / 6.0) << i;
    }
}

TEST(SetSpectrum, RefillAndRefusal) {
    const std::vector<double> a(8, 1.0), b(4, 2.0);
    Spectrum s;
    ASSERT_EQ(s.SetSpectrum(a.data(), a.data(), 8, 3), kOk);
    ASSERT_EQ(s.SetSpectrum(b.data(), b.data(), 4, 5), kOk);
    EXPECT_EQ(s.count, 4u);
    EXPECT_EQ(s.interval, 5u);
    EXPECT_EQ(Values(s.re, 4), b);

    const double* before = s.power.get();
    EXPECT_EQ(s.SetSpectrum(a.data(), a.data(), 8, 0), kBadArgument);
    EXPECT_EQ(s.SetSpectrum(nullptr, a.data(), 8, 1), kBadArgument);
    EXPECT_EQ(s.SetSpectrum(a.data(), a.data(), 0, 1), kBadArgument);
    EXPECT_EQ(s.count, 4u);
    EXPECT_EQ(s.interval, 5u);
    EXPECT_EQ(s.power.get(), before);

    s.fftFlag = 9;
    s.Release();
    EXPECT_EQ(s.count, 0u);
    EXPECT_EQ(s.fftFlag, 9);
    std::vector<double> out(3, 1.0);
    EXPECT_FALSE(s.GetPowerSpectrum(out));
    EXPECT_TRUE(out.empty());
}

TEST(ComputeHeadTailSpectrum, EqualFramesGiveTheSingleSpectrum) {
    const std::vector<double> x = {1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<double> power(8), amplitude(8);
    ASSERT_EQ(ComputeHeadTailSpectrum(x.data(), power.data(), amplitude.data(), 8, 8), kOk);
    std::vector<double> re(8), im(8);
    ASSERT_EQ(ComputeFFT(x.data(), re.data(), im.data(), 8, 0), kOk);
    Spectrum single;
    ASSERT_EQ(single.SetSpectrum(re.data(), im.data(), 8, 1), kOk);
    ExpectNear(power, Values(single.power, 8), 1e-15);
    ExpectNear(amplitude, Values(single.amplitude, 8), 1e-15);
}

TEST(ComputeHeadTailSpectrum, AveragesHeadAndTail) {
    // Head: a ramp; tail: a constant, whose sums are 0 and stay unnormalised.
    const std::vector<double> x = {1, 2, 3, 4, 5, 6, 7, 8, 2, 2, 2, 2, 2, 2, 2, 2};
    std::vector<double> power(8), amplitude(8);
    ASSERT_EQ(ComputeHeadTailSpectrum(x.data(), power.data(), amplitude.data(), 16, 8), kOk);
    EXPECT_NEAR(power[0], (9.174907 + 256.0) * 0.5, 1e-5);
    EXPECT_NEAR(amplitude[0], (2.234726 + 16.0) * 0.5, 1e-5);
    EXPECT_NEAR(power[1], 0.773459 * 0.5, 1e-6);
    EXPECT_EQ(ComputeHeadTailSpectrum(x.data(), power.data(), amplitude.data(), 4, 8),
              kBadArgument);
}

}  // namespace
}  // namespace corvalith
