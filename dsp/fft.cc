// The sine table is built by a trigonometric recurrence (one sin, two sqrt
// per call) and every formula is evaluated in the order written, so that the
// last bit of every result is the same on every machine.
#include "dsp/fft.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "dsp/buffer.h"
#include "dsp/status.h"

namespace corvalith::detail {

void MakeSinTable(double* table, std::uint32_t n) noexcept {
    const std::uint32_t half = n / 2;
    const std::uint32_t quarter = n / 4;
    const std::uint32_t eighth = n / 8;
    const double t = std::sin(std::numbers::pi / n);
    double dc = 2.0 * t * t;
    double ds = std::sqrt(dc * (2.0 - dc));
    const double t2 = 2.0 * dc;
    table[quarter] = 1.0;
    table[0] = 0.0;
    double c = 1.0;
    double s = 0.0;
    for (std::uint32_t i = 1; i < eighth; ++i) {
        c -= dc;
        s += ds;
        table[i] = s;
        table[quarter - i] = c;
        dc += c * t2;
        ds -= s * t2;
    }
    if (eighth != 0) table[eighth] = std::sqrt(0.5);
    for (std::uint32_t i = 0; i < quarter; ++i) table[half - i] = table[i];
    for (std::uint32_t i = 0; i < half + quarter; ++i) table[i + half] = -table[i];
}

void MakeBitReverseTable(std::uint32_t* table, std::uint32_t n) noexcept {
    table[0] = 0;
    std::uint32_t j = 0;
    for (std::uint32_t i = 1; i < n; ++i) {
        std::uint32_t k = n / 2;
        while (k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
        table[i] = j;
    }
}

}  // namespace corvalith::detail

namespace corvalith::detail {

void TransformWithTables(const double* in, double* re, double* im, std::uint32_t n, int inverse,
                         const double* sinTable, const std::uint32_t* bitReverse) noexcept {
    const std::uint32_t quarter = n / 4;
    for (std::uint32_t i = 0; i < n; ++i) {
        re[i] = in[i];
        im[i] = 0.0;
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t j = bitReverse[i];
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    for (std::uint32_t k = 1; k < n; k *= 2) {
        const std::uint32_t k2 = 2 * k;
        const std::uint32_t d = n / k2;
        std::uint32_t h = 0;
        for (std::uint32_t j = 0; j < k; ++j) {
            // For n = 2 the table holds no cosine: the single butterfly is c = 1, s = 0.
            double c = 1.0;
            double s = 0.0;
            if (quarter != 0) {
                c = sinTable[h + quarter];
                s = inverse != 0 ? -sinTable[h] : sinTable[h];
            }
            for (std::uint32_t i = j; i < n; i += k2) {
                const std::uint32_t ik = i + k;
                const double dx = s * im[ik] + c * re[ik];
                const double dy = c * im[ik] - s * re[ik];
                re[ik] = re[i] - dx;
                re[i] = re[i] + dx;
                im[ik] = im[i] - dy;
                im[i] = im[i] + dy;
            }
            h += d;
        }
    }
    if (inverse == 1) {
        const double scale = static_cast<double>(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            re[i] = re[i] / scale;
            im[i] = im[i] / scale;
        }
    }
}

}  // namespace corvalith::detail

int ComputeFFT(const double* in, double* re, double* im, std::uint32_t n, int inverse) noexcept {
    using namespace corvalith;
    if (n == 0 || (n & (n - 1)) != 0) return kBadArgument;
    const std::uint32_t quarter = n / 4;
    auto sinTable = Buffer<double>::Zeroed(std::size_t{n} + quarter);
    auto bitReverse = Buffer<std::uint32_t>::Zeroed(n);
    if (!sinTable || !bitReverse) return kOutOfMemory;
    detail::MakeSinTable(sinTable.data(), n);
    detail::MakeBitReverseTable(bitReverse.data(), n);
    detail::TransformWithTables(in, re, im, n, inverse, sinTable.data(), bitReverse.data());
    return kOk;
}
