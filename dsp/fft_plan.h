// FftPlan: ComputeFFT's forward transform of one size with its tables made
// once, for callers that transform many frames of that size. Every value is
// computed by ComputeFFT's formulas from the same operands, so the results
// are bit for bit ComputeFFT's.
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

    // ComputeFFT(in, re, im, size(), 0): `in`, `re` and `im` hold size()
    // doubles; `re` and `im` do not overlap each other or `in`.
    void Forward(const double* in, double* re, double* im) const noexcept;

  private:
    std::uint32_t n_ = 0;
    std::vector<std::uint32_t> bitReverse_;
    // The butterflies' cosines and sines, stage by stage: the stage of span k
    // (1, 2, 4, ...) has k of them from index k - 1 on.
    std::vector<double> cos_;
    std::vector<double> sin_;
};

}  // namespace corvalith
