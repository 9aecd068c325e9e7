// The tables come from ComputeFFT's own table builders. The transform makes
// the same butterflies with the same operands as ComputeFFT; only the order
// in which the independent butterflies of one stage run differs (block by
// block instead of twiddle by twiddle), which leaves every value unchanged,
// since no two butterflies of a stage touch the same element. Where SSE2 is
// there, two butterflies run side by side in its lanes: the same IEEE
// multiplications, additions and subtractions, one per lane, never fused.
#include "dsp/fft_plan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dsp/fft.h"

namespace corvalith {

FftPlan::FftPlan(std::uint32_t n) : n_(n), bitReverse_(n), cos_(n), sin_(n) {
    const std::uint32_t quarter = n / 4;
    std::vector<double> sinTable(std::size_t{n} + quarter);
    detail::MakeSinTable(sinTable.data(), n);
    detail::MakeBitReverseTable(bitReverse_.data(), n);
    for (std::uint32_t k = 1; k < n; k *= 2) {
        const std::uint32_t d = n / (2 * k);
        for (std::uint32_t j = 0; j < k; ++j) {
            // For n = 2 the table holds no cosine: the single butterfly is c = 1, s = 0.
            const std::uint32_t h = j * d;
            cos_[k - 1 + j] = quarter != 0 ? sinTable[h + quarter] : 1.0;
            sin_[k - 1 + j] = quarter != 0 ? sinTable[h] : 0.0;
        }
    }
}

void FftPlan::Forward(const double* in, double* re, double* im) const noexcept {
    const std::uint32_t n = n_;
    // ComputeFFT copies and then swaps into bit-reversed order; the
    // permutation is its own inverse, so each element lands where this puts it.
    for (std::uint32_t i = 0; i < n; ++i) {
        re[i] = in[bitReverse_[i]];
        im[i] = 0.0;
    }
    std::uint32_t firstSpan = 1;
#if defined(__SSE2__)
    if (n >= 4) {
        // Span 1: the butterflies of two neighbouring blocks side by side,
        // their elements gathered into lanes and scattered back.
        const __m128d c = _mm_set1_pd(cos_[0]);
        const __m128d s = _mm_set1_pd(sin_[0]);
        for (std::uint32_t base = 0; base < n; base += 4) {
            const __m128d reA = _mm_loadu_pd(re + base);
            const __m128d reB = _mm_loadu_pd(re + base + 2);
            const __m128d imA = _mm_loadu_pd(im + base);
            const __m128d imB = _mm_loadu_pd(im + base + 2);
            const __m128d r0 = _mm_unpacklo_pd(reA, reB);
            const __m128d r1 = _mm_unpackhi_pd(reA, reB);
            const __m128d i0 = _mm_unpacklo_pd(imA, imB);
            const __m128d i1 = _mm_unpackhi_pd(imA, imB);
            const __m128d dx = _mm_add_pd(_mm_mul_pd(s, i1), _mm_mul_pd(c, r1));
            const __m128d dy = _mm_sub_pd(_mm_mul_pd(c, i1), _mm_mul_pd(s, r1));
            const __m128d newR0 = _mm_add_pd(r0, dx);
            const __m128d newR1 = _mm_sub_pd(r0, dx);
            const __m128d newI0 = _mm_add_pd(i0, dy);
            const __m128d newI1 = _mm_sub_pd(i0, dy);
            _mm_storeu_pd(re + base, _mm_unpacklo_pd(newR0, newR1));
            _mm_storeu_pd(re + base + 2, _mm_unpackhi_pd(newR0, newR1));
            _mm_storeu_pd(im + base, _mm_unpacklo_pd(newI0, newI1));
            _mm_storeu_pd(im + base + 2, _mm_unpackhi_pd(newI0, newI1));
        }
        firstSpan = 2;
    }
#endif
    for (std::uint32_t k = firstSpan; k < n; k *= 2) {
        const double* __restrict c = cos_.data() + (k - 1);
        const double* __restrict s = sin_.data() + (k - 1);
        for (std::uint32_t base = 0; base < n; base += 2 * k) {
            double* __restrict re0 = re + base;
            double* __restrict re1 = re + base + k;
            double* __restrict im0 = im + base;
            double* __restrict im1 = im + base + k;
            std::uint32_t j = 0;
#if defined(__SSE2__)
            for (; j + 2 <= k; j += 2) {
                const __m128d cj = _mm_loadu_pd(c + j);
                const __m128d sj = _mm_loadu_pd(s + j);
                const __m128d r0 = _mm_loadu_pd(re0 + j);
                const __m128d r1 = _mm_loadu_pd(re1 + j);
                const __m128d i0 = _mm_loadu_pd(im0 + j);
                const __m128d i1 = _mm_loadu_pd(im1 + j);
                const __m128d dx = _mm_add_pd(_mm_mul_pd(sj, i1), _mm_mul_pd(cj, r1));
                const __m128d dy = _mm_sub_pd(_mm_mul_pd(cj, i1), _mm_mul_pd(sj, r1));
                _mm_storeu_pd(re1 + j, _mm_sub_pd(r0, dx));
                _mm_storeu_pd(re0 + j, _mm_add_pd(r0, dx));
                _mm_storeu_pd(im1 + j, _mm_sub_pd(i0, dy));
                _mm_storeu_pd(im0 + j, _mm_add_pd(i0, dy));
            }
#endif
            for (; j < k; ++j) {
                const double dx = s[j] * im1[j] + c[j] * re1[j];
                const double dy = c[j] * im1[j] - s[j] * re1[j];
                re1[j] = re0[j] - dx;
                re0[j] = re0[j] + dx;
                im1[j] = im0[j] - dy;
                im0[j] = im0[j] + dy;
            }
        }
    }
}

}  // namespace corvalith
