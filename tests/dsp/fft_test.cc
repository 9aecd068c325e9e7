// ComputeFFT: the worked tables, properties of the transform, and agreement
// with a direct DFT.
#include "dsp/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "dsp/status.h"

namespace corvalith {
namespace {

struct Transform {
    int status;
    std::vector<double> re, im;
};

Transform Fft(const std::vector<double>& in, int inverse = 0) {
    const auto n = static_cast<std::uint32_t>(in.size());
    Transform t{0, std::vector<double>(n, 7.0), std::vector<double>(n, 7.0)};
    t.status = ComputeFFT(in.data(), t.re.data(), t.im.data(), n, inverse);
    return t;
}

std::vector<double> SinTable(std::uint32_t n) {
    std::vector<double> table(n + n / 4);
    detail::MakeSinTable(table.data(), n);
    return table;
}

std::vector<double> Ramp(std::size_t n) {
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i) x[i] = std::sin(0.7 * i) + 0.1 * i;
    return x;
}

TEST(ComputeFFT, SmallSizes) {
    const Transform one = Fft({3.5});
    EXPECT_EQ(one.status, kOk);
    EXPECT_EQ(one.re, std::vector<double>{3.5});
    EXPECT_EQ(one.im, std::vector<double>{0.0});
    EXPECT_EQ(Fft({3.5}, 1).re, std::vector<double>{3.5});

    const Transform two = Fft({2.0, 5.0});
    EXPECT_EQ(two.re, (std::vector<double>{7.0, -3.0}));
    EXPECT_EQ(two.im, (std::vector<double>{0.0, 0.0}));
}

TEST(ComputeFFT, SineTables) {
    const std::vector<double> four = SinTable(4);
    EXPECT_EQ(four, (std::vector<double>{0, 1, -0.0, -1, 0}));
    EXPECT_TRUE(std::signbit(four[2]));
    const double r = std::sqrt(0.5);
    const std::vector<double> eight = SinTable(8);
    const std::vector<double> expected = {0, r, 1, r, -0.0, -r, -1, -r, 0, r};
    ASSERT_EQ(eight.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(eight[i], expected[i]) << i;
    // Larger tables follow sin(2 pi i / n) to the rounding of the recurrence.
    const std::uint32_t n = 4096;
    const std::vector<double> big = SinTable(n);
    for (std::uint32_t i = 0; i < n + n / 4; ++i) {
        ASSERT_NEAR(big[i], std::sin(2 * std::numbers::pi * i / n), 1e-12) << i;
    }
}

TEST(ComputeFFT, BitReversal) {
    std::vector<std::uint32_t> table(8);
    detail::MakeBitReverseTable(table.data(), 8);
    EXPECT_EQ(table, (std::vector<std::uint32_t>{0, 4, 2, 6, 1, 5, 3, 7}));
}

TEST(ComputeFFT, ConstantAndImpulse) {
    const Transform c = Fft(std::vector<double>(16, 2.5));
    EXPECT_DOUBLE_EQ(c.re[0], 40.0);
    for (std::size_t k = 1; k < 16; ++k) {
        EXPECT_NEAR(c.re[k], 0.0, 1e-12);
        EXPECT_NEAR(c.im[k], 0.0, 1e-12);
    }
    std::vector<double> impulse(8, 0.0);
    impulse[0] = 1.0;
    const Transform inv = Fft(impulse, 1);
    for (std::size_t k = 0; k < 8; ++k) {
        EXPECT_DOUBLE_EQ(inv.re[k], 0.125);
        EXPECT_DOUBLE_EQ(inv.im[k], 0.0);
    }
}

TEST(ComputeFFT, AgreesWithADirectTransform) {
    for (std::uint32_t n = 1; n <= 256; n *= 2) {
        const std::vector<double> x = Ramp(n);
        const Transform t = Fft(x);
        for (std::uint32_t k = 0; k < n; ++k) {
            std::complex<double> sum = 0;
            for (std::uint32_t m = 0; m < n; ++m) {
                sum += x[m] * std::polar(1.0, -2 * std::numbers::pi * k * m / n);
            }
            ASSERT_NEAR(t.re[k], sum.real(), 1e-9) << n << " " << k;
            ASSERT_NEAR(t.im[k], sum.imag(), 1e-9) << n << " " << k;
        }
    }
}

TEST(ComputeFFT, RoundTripParsevalAndAToneOnABin) {
    const std::uint32_t n = 1024;
    const std::vector<double> x = Ramp(n);
    const Transform forward = Fft(x);
    std::vector<double> back(n), backIm(n);
    // Inverse of a real frame's transform: transform re and im separately and combine.
    std::vector<double> rr(n), ri(n), ir(n), ii(n);
    ASSERT_EQ(ComputeFFT(forward.re.data(), rr.data(), ri.data(), n, 1), kOk);
    ASSERT_EQ(ComputeFFT(forward.im.data(), ir.data(), ii.data(), n, 1), kOk);
    double timeEnergy = 0, freqEnergy = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        EXPECT_NEAR(rr[i] - ii[i], x[i], 1e-9);  // Re of IDFT(re + i im)
        EXPECT_NEAR(ri[i] + ir[i], 0.0, 1e-9);
        timeEnergy += x[i] * x[i];
        freqEnergy += forward.re[i] * forward.re[i] + forward.im[i] * forward.im[i];
    }
    EXPECT_NEAR(freqEnergy / n, timeEnergy, 1e-6 * timeEnergy);

    std::vector<double> tone(n);
    for (std::uint32_t i = 0; i < n; ++i) tone[i] = std::cos(2 * std::numbers::pi * 37 * i / n);
    const Transform t = Fft(tone);
    for (std::uint32_t k = 0; k < n; ++k) {
        const double magnitude = std::hypot(t.re[k], t.im[k]);
        if (k == 37 || k == n - 37) {
            EXPECT_NEAR(magnitude, n / 2.0, 1e-6);
        } else {
            EXPECT_LT(magnitude, 1e-8);
        }
    }
}

TEST(ComputeFFT, LeavesItsInputAlone) {
    const std::vector<double> x = Ramp(64);
    std::vector<double> copy = x;
    std::vector<double> re(64), im(64);
    ASSERT_EQ(ComputeFFT(copy.data(), re.data(), im.data(), 64, 0), kOk);
    EXPECT_EQ(copy, x);
}

TEST(ComputeFFT, RejectsSizesThatAreNotPowersOfTwo) {
    std::vector<double> x(12, 1.0), re(12, 9.0), im(12, 9.0);
    for (const std::uint32_t n : {0u, 3u, 6u, 12u}) {
        EXPECT_EQ(ComputeFFT(x.data(), re.data(), im.data(), n, 0), kBadArgument) << n;
    }
    EXPECT_EQ(re, std::vector<double>(12, 9.0));
}

}  // namespace
}  // namespace corvalith
