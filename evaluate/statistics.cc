// Boost.Math distributions under a policy that returns NaN instead of throwing;
// the edge cases Boost rejects (p of 0 or 1, df 0) are settled before the call.
#include "evaluate/statistics.h"

#include <algorithm>
#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <limits>
#include <numeric>

namespace corvalith::evaluate {

namespace {

namespace bm = boost::math;
using NoThrow = bm::policies::policy<bm::policies::domain_error<bm::policies::ignore_error>,
                                     bm::policies::overflow_error<bm::policies::ignore_error>,
                                     bm::policies::evaluation_error<bm::policies::ignore_error>>;
using Binomial = bm::binomial_distribution<double, NoThrow>;
using ChiSquared = bm::chi_squared_distribution<double, NoThrow>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsProbability(double p) { return p >= 0.0 && p <= 1.0; }

// P(X <= k); needs k < n and 0 < p < 1.
double LowerTail(std::uint64_t k, std::uint64_t n, double p) {
    return bm::cdf(Binomial(static_cast<double>(n), p), static_cast<double>(k));
}

// P(X >= h) = P(X > h - 1); needs 1 <= h <= n and 0 < p < 1.
double UpperTail(std::uint64_t h, std::uint64_t n, double p) {
    return bm::cdf(bm::complement(Binomial(static_cast<double>(n), p), static_cast<double>(h - 1)));
}

}  // namespace

Interval WilsonInterval(std::uint64_t hits, std::uint64_t n, double z) {
    if (n == 0) return {0.0, 1.0};
    const double trials = static_cast<double>(n);
    hits = std::min(hits, n);
    const double rate = static_cast<double>(hits) / trials;
    const double z2 = z * z;
    const double denominator = 1.0 + z2 / trials;
    const double centre = (rate + z2 / (2.0 * trials)) / denominator;
    const double halfWidth =
        z * std::sqrt(rate * (1.0 - rate) / trials + z2 / (4.0 * trials * trials)) / denominator;
    // The bounds are exactly 0 at no hits and 1 at all hits; rounding must not move them.
    const double low = hits == 0 ? 0.0 : std::max(0.0, centre - halfWidth);
    const double high = hits == n ? 1.0 : std::min(1.0, centre + halfWidth);
    return {low, high};
}

double BinomialUpperTail(std::uint64_t hits, std::uint64_t n, double p) {
    if (!IsProbability(p)) return kNaN;
    if (hits == 0) return 1.0;
    if (hits > n || p == 0.0) return 0.0;  // with p 0, X is always 0
    if (p == 1.0) return 1.0;              // with p 1, X is always n >= hits
    return UpperTail(hits, n, p);
}

double BinomialTwoSided(std::uint64_t r, std::uint64_t n, double p) {
    if (!IsProbability(p)) return kNaN;
    double lower = 1.0;  // r >= n, or p 0 (X always 0 <= r)
    if (r < n && p == 1.0) {
        lower = 0.0;  // X is always n > r
    } else if (r < n && p > 0.0) {
        lower = LowerTail(r, n, p);
    }
    const double upper = BinomialUpperTail(r, n, p);
    return std::min(1.0, 2.0 * std::min(lower, upper));
}

double ChiSquareUpperTail(double chi2, double df) {
    if (std::isnan(chi2) || std::isnan(df)) return kNaN;
    if (chi2 <= 0.0) return 1.0;
    if (df <= 0.0 || std::isinf(chi2)) return 0.0;
    return bm::cdf(bm::complement(ChiSquared(df), chi2));
}

std::vector<double> HolmAdjust(std::span<const double> p) {
    std::vector<std::size_t> order(p.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // Ascending, NaN last; stable so that ties keep their input order.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (std::isnan(p[a]) || std::isnan(p[b])) return !std::isnan(p[a]) && std::isnan(p[b]);
        return p[a] < p[b];
    });
    std::vector<double> adjusted(p.size(), kNaN);
    double running = 0.0;
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        const double raw = p[order[rank]];
        if (std::isnan(raw)) break;
        const double scaled = std::min(1.0, static_cast<double>(p.size() - rank) * raw);
        running = std::max(running, scaled);
        adjusted[order[rank]] = running;
    }
    return adjusted;
}

}  // namespace corvalith::evaluate
