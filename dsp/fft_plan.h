// FftPlan: ComputeFFT's forward transform of one size with its sine and
// bit-reverse tables made once, for callers that transform many frames of
// that size. The arithmetic is ComputeFFT's, step for step, so the results
// are bit for bit the same.
#pragma once

#include <cstdint>
#include <vector>

namespace corvalith {

class FftPlan {
  public:
    FftPlan() = default;
    // `n` must be a power of two (1, 2, 4, ...). May throw std::bad_alloc.
    explicit FftPlan(std::uint32_t n);

    [[nodiscard]] std::uint32_t size() const noexcept { return n_; }

    // ComputeFFT(in, re, im, size(), 0): `in`, `re` and `im` hold size() doubles.
    void Forward(const double* in, double* re, double* im) const noexcept;

  private:
    std::uint32_t n_ = 0;
    std::vector<double> sinTable_;
    std::vector<std::uint32_t> bitReverse_;
};

}  // namespace corvalith
