// Head-and-tail spectrum: two forward transforms, four normalisations (each
// sum tested on its own), one average per bin.
#include "dsp/head_tail_spectrum.h"

#include <cmath>

#include "dsp/buffer.h"
#include "dsp/fft.h"
#include "dsp/spectrum.h"
#include "dsp/status.h"

int ComputeHeadTailSpectrum(const double* in, double* outPower, double* outAmplitude,
                            std::uint32_t nLen, std::uint32_t n) noexcept {
    using namespace corvalith;
    if (n == 0 || n > nLen) return kBadArgument;
    auto headRe = Buffer<double>::Zeroed(n);
    auto headIm = Buffer<double>::Zeroed(n);
    auto tailRe = Buffer<double>::Zeroed(n);
    auto tailIm = Buffer<double>::Zeroed(n);
    if (!headRe || !headIm || !tailRe || !tailIm) return kOutOfMemory;

    int rc = ComputeFFT(in, headRe.data(), headIm.data(), n, 0);
    if (rc != kOk) return rc;
    rc = ComputeFFT(in + (nLen - n), tailRe.data(), tailIm.data(), n, 0);
    if (rc != kOk) return rc;

    // The transform outputs become power and amplitude in place: re holds the
    // power, im the amplitude.
    for (std::uint32_t i = 0; i < n; ++i) {
        const double headPower = headRe[i] * headRe[i] + headIm[i] * headIm[i];
        const double tailPower = tailRe[i] * tailRe[i] + tailIm[i] * tailIm[i];
        headRe[i] = headPower;
        headIm[i] = std::sqrt(headPower);
        tailRe[i] = tailPower;
        tailIm[i] = std::sqrt(tailPower);
    }
    detail::Normalise(headRe.data(), n);
    detail::Normalise(headIm.data(), n);
    detail::Normalise(tailRe.data(), n);
    detail::Normalise(tailIm.data(), n);
    for (std::uint32_t i = 0; i < n; ++i) {
        outPower[i] = (headRe[i] + tailRe[i]) * 0.5;
        outAmplitude[i] = (headIm[i] + tailIm[i]) * 0.5;
    }
    return kOk;
}
