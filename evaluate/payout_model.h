// An estimate of what a number pays if it wins: least squares of the log of
// the straight payout's ratio to the theoretical amount on the number's
// classes (indicators of double, double-double, triple, quad, date, run and
// recent beside a constant), fitted only on the draws before the one
// estimated, and how well it did walk-forward against the plain mean of the
// earlier draws.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "evaluate/payout_classes.h"

namespace corvalith::evaluate {

inline constexpr std::size_t kModelTerms = 8;
// The draws with payouts a fit needs before it estimates anything.
inline constexpr std::size_t kModelMinimumDraws = 30;

// The estimated ratio of the payout to the theoretical amount, with the 95 %
// interval of one draw's ratio (the fit's residual spread on the log scale).
struct PayoutEstimate {
    double ratio = 1.0;
    double low = 1.0;
    double high = 1.0;
    double logRatio = 0.0;
};

struct PayoutFit {
    std::array<double, kModelTerms> coefficients{};
    double sigma = 0.0;     // residual standard deviation of the log ratio
    std::size_t draws = 0;  // the draws it was fitted on
};

// The running sums of the least squares; a draw is added after it is used.
class PayoutModel {
  public:
    void Add(const NumberClasses& classes, double ratio) noexcept;
    [[nodiscard]] std::size_t Count() const noexcept { return count_; }
    // The fit of the draws added so far; none below kModelMinimumDraws.
    [[nodiscard]] std::optional<PayoutFit> Fit() const noexcept;

  private:
    std::array<double, kModelTerms * kModelTerms> xtx_{};
    std::array<double, kModelTerms> xty_{};
    double yy_ = 0.0;
    std::size_t count_ = 0;
};

[[nodiscard]] PayoutEstimate EstimateWith(const PayoutFit& fit,
                                          const NumberClasses& classes) noexcept;

struct PayoutWalkForward {
    // For each of `draws`: the model's estimate of its log ratio from the
    // draws before it (none without a straight ratio or too few before).
    std::vector<std::optional<double>> estimates;
    std::size_t evaluated = 0;      // draws estimated (both estimates there)
    double modelError = 0.0;        // mean absolute error of the log ratio
    double baselineError = 0.0;     // the same for the mean log ratio of all earlier draws
    std::optional<PayoutFit> last;  // the fit on every draw, for the next draw
};

// The walk-forward run over `draws` (in order). May throw std::bad_alloc.
[[nodiscard]] PayoutWalkForward WalkForwardPayouts(std::span<const PaidDraw> draws);

}  // namespace corvalith::evaluate
