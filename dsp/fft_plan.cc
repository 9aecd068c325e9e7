// The tables are made by the functions ComputeFFT uses and handed to its
// transform.
#include "dsp/fft_plan.h"

#include "dsp/fft.h"

namespace corvalith {

FftPlan::FftPlan(std::uint32_t n) : n_(n), sinTable_(std::size_t{n} + n / 4), bitReverse_(n) {
    detail::MakeSinTable(sinTable_.data(), n);
    detail::MakeBitReverseTable(bitReverse_.data(), n);
}

void FftPlan::Forward(const double* in, double* re, double* im) const noexcept {
    detail::TransformWithTables(in, re, im, n_, 0, sinTable_.data(), bitReverse_.data());
}

}  // namespace corvalith
