// The statistics of the evaluation: confidence intervals, exact binomial
// tails, the chi-square tail and Holm's correction (Boost.Math underneath).
// None of them throws: an argument outside its range gives NaN, as noted.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace corvalith::evaluate {

inline constexpr double kZ95 = 1.959963984540054;  // two-sided 95 % normal quantile
// The level of every test, verdict and highlight: p below it is significant.
inline constexpr double kSignificance = 0.05;

struct Interval {
    double low = 0.0;
    double high = 0.0;
};

// Wilson score interval of hits/n for the normal quantile z >= 0, clamped to
// [0, 1]; [0, 1] when n is 0. hits above n count as n.
[[nodiscard]] Interval WilsonInterval(std::uint64_t hits, std::uint64_t n, double z = kZ95);

// P(X >= hits) for X ~ Binomial(n, p); 1 when hits is 0, 0 when hits > n.
// Computed as the complement of the lower tail without subtracting from 1, so
// tiny p-values keep their relative precision. NaN unless 0 <= p <= 1.
[[nodiscard]] double BinomialUpperTail(std::uint64_t hits, std::uint64_t n, double p);

// min(1, 2 min(P(X <= r), P(X >= r))) for X ~ Binomial(n, p); 0 when r > n
// (the formula's own value). NaN unless 0 <= p <= 1.
[[nodiscard]] double BinomialTwoSided(std::uint64_t r, std::uint64_t n, double p);

// P(X >= chi2) for X ~ chi-square with `df` degrees of freedom: 1 when
// chi2 <= 0, 0 when chi2 is infinite or df <= 0 (all mass at 0) and chi2 > 0,
// NaN when either argument is NaN.
[[nodiscard]] double ChiSquareUpperTail(double chi2, double df);

// Holm's step-down adjusted p-values, in the order of `p` (each >= its raw
// value, at most 1, monotone along the sorted order). A NaN input stays NaN;
// it still counts among the m tests and sorts after every number.
[[nodiscard]] std::vector<double> HolmAdjust(std::span<const double> p);

}  // namespace corvalith::evaluate
