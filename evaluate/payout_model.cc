// The least squares by its normal equations, solved by Cholesky with a
// tiny ridge so that a class not seen yet (no quad in the first draws)
// leaves its term at 0 instead of making the system singular.
#include "evaluate/payout_model.h"

#include <cmath>

namespace corvalith::evaluate {
namespace {

constexpr double kRidge = 1e-6;
constexpr double kInterval95 = 1.959963984540054;

std::array<double, kModelTerms> Terms(const NumberClasses& c) noexcept {
    return {1.0,
            c.pattern == Pattern::Double ? 1.0 : 0.0,
            c.pattern == Pattern::DoubleDouble ? 1.0 : 0.0,
            c.pattern == Pattern::Triple ? 1.0 : 0.0,
            c.pattern == Pattern::Quad ? 1.0 : 0.0,
            c.date ? 1.0 : 0.0,
            c.run ? 1.0 : 0.0,
            c.recent ? 1.0 : 0.0};
}

}  // namespace

void PayoutModel::Add(const NumberClasses& classes, double ratio) noexcept {
    if (!(ratio > 0.0)) return;
    const auto x = Terms(classes);
    const double y = std::log(ratio);
    for (std::size_t i = 0; i < kModelTerms; ++i) {
        for (std::size_t k = 0; k < kModelTerms; ++k) xtx_[i * kModelTerms + k] += x[i] * x[k];
        xty_[i] += x[i] * y;
    }
    yy_ += y * y;
    ++count_;
}

std::optional<PayoutFit> PayoutModel::Fit() const noexcept {
    if (count_ < kModelMinimumDraws) return std::nullopt;
    constexpr std::size_t n = kModelTerms;
    std::array<double, n * n> l{};
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k <= i; ++k) {
            double sum = xtx_[i * n + k] + (i == k ? kRidge : 0.0);
            for (std::size_t m = 0; m < k; ++m) sum -= l[i * n + m] * l[k * n + m];
            if (i == k) {
                if (!(sum > 0.0)) return std::nullopt;
                l[i * n + i] = std::sqrt(sum);
            } else {
                l[i * n + k] = sum / l[k * n + k];
            }
        }
    }
    std::array<double, n> z{};
    for (std::size_t i = 0; i < n; ++i) {
        double sum = xty_[i];
        for (std::size_t m = 0; m < i; ++m) sum -= l[i * n + m] * z[m];
        z[i] = sum / l[i * n + i];
    }
    PayoutFit fit;
    for (std::size_t i = n; i-- > 0;) {
        double sum = z[i];
        for (std::size_t m = i + 1; m < n; ++m) sum -= l[m * n + i] * fit.coefficients[m];
        fit.coefficients[i] = sum / l[i * n + i];
    }
    // RSS = y'y - 2 b'X'y + b'X'X b.
    double rss = yy_;
    for (std::size_t i = 0; i < n; ++i) {
        rss -= 2.0 * fit.coefficients[i] * xty_[i];
        for (std::size_t k = 0; k < n; ++k) {
            rss += fit.coefficients[i] * xtx_[i * n + k] * fit.coefficients[k];
        }
    }
    const double freedom = static_cast<double>(count_ > n ? count_ - n : 1);
    fit.sigma = std::sqrt(std::max(rss, 0.0) / freedom);
    fit.draws = count_;
    return fit;
}

PayoutEstimate EstimateWith(const PayoutFit& fit, const NumberClasses& classes) noexcept {
    const auto x = Terms(classes);
    double log = 0.0;
    for (std::size_t i = 0; i < kModelTerms; ++i) log += fit.coefficients[i] * x[i];
    return {std::exp(log), std::exp(log - kInterval95 * fit.sigma),
            std::exp(log + kInterval95 * fit.sigma), log};
}

PayoutWalkForward WalkForwardPayouts(std::span<const PaidDraw> draws) {
    PayoutWalkForward run;
    run.estimates.resize(draws.size());
    PayoutModel model;
    double logSum = 0.0;
    double modelError = 0.0;
    double baselineError = 0.0;
    for (std::size_t j = 0; j < draws.size(); ++j) {
        const PaidDraw& draw = draws[j];
        if (!draw.straightRatio || !(*draw.straightRatio > 0.0)) continue;
        const double actual = std::log(*draw.straightRatio);
        if (const auto fit = model.Fit()) {
            const double estimate = EstimateWith(*fit, draw.classes).logRatio;
            run.estimates[j] = estimate;
            const double baseline = logSum / static_cast<double>(model.Count());
            modelError += std::abs(estimate - actual);
            baselineError += std::abs(baseline - actual);
            ++run.evaluated;
        }
        model.Add(draw.classes, *draw.straightRatio);
        logSum += actual;
    }
    if (run.evaluated > 0) {
        run.modelError = modelError / static_cast<double>(run.evaluated);
        run.baselineError = baselineError / static_cast<double>(run.evaluated);
    }
    run.last = model.Fit();
    return run;
}

}  // namespace corvalith::evaluate
