// Per position: the count table once, each digit's (filtered) count series
// once, then for M = 1, 2, ... the frames the pipeline would transform. A
// frame of N values starting at s is scored once and kept while N stays the
// same: the head frame (s = 0) serves every M with that N, and a centre frame
// is the tail frame of an earlier M. The head-and-tail spectrum reuses the
// head frame's normalised spectra and the tail frame's transform.
#include "evaluate/walk_forward.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dsp/fft_plan.h"
#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "dsp/spectrum.h"
#include "predict/digit_ranking.h"

namespace corvalith::evaluate::detail {
namespace {

// The pipeline's frame: the largest power of two <= m (1 when m < 2).
std::uint32_t LargestPowerOfTwo(std::uint32_t m) noexcept {
    std::uint64_t n = 1;
    while (2 * n <= m) n *= 2;
    return static_cast<std::uint32_t>(n);
}

bool IsDefined(FftPlacement placement) noexcept {
    return std::find(std::begin(kAllPlacements), std::end(kAllPlacements), placement) !=
           std::end(kAllPlacements);
}

constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

// The per-bin formulas of SetSpectrum and ComputeHeadTailSpectrum. Each bin
// is computed on its own, two at a time in SSE2's lanes where it is there:
// the same IEEE operations in the same order per bin, never fused.

// power[i] = re[i] * re[i] + im[i] * im[i]
void PowerOf(const double* re, const double* im, double* power, std::uint32_t n) noexcept {
    std::uint32_t i = 0;
#if defined(__SSE2__)
    for (; i + 2 <= n; i += 2) {
        const __m128d r = _mm_loadu_pd(re + i);
        const __m128d m = _mm_loadu_pd(im + i);
        _mm_storeu_pd(power + i, _mm_add_pd(_mm_mul_pd(r, r), _mm_mul_pd(m, m)));
    }
#endif
    for (; i < n; ++i) power[i] = re[i] * re[i] + im[i] * im[i];
}

// out[i] = sqrt(in[i])
void SquareRoots(const double* in, double* out, std::uint32_t n) noexcept {
    std::uint32_t i = 0;
#if defined(__SSE2__)
    for (; i + 2 <= n; i += 2) _mm_storeu_pd(out + i, _mm_sqrt_pd(_mm_loadu_pd(in + i)));
#endif
    for (; i < n; ++i) out[i] = std::sqrt(in[i]);
}

// The head-and-tail averages, then SetSpectrum's power of the pair:
// p = (headPower + tailPower) * 0.5, a = (headAmplitude + tailAmplitude) * 0.5,
// out = p * p + a * a.
void AveragedPower(const double* headPower, const double* tailPower, const double* headAmplitude,
                   const double* tailAmplitude, double* out, std::uint32_t n) noexcept {
    std::uint32_t i = 0;
#if defined(__SSE2__)
    const __m128d half = _mm_set1_pd(0.5);
    for (; i + 2 <= n; i += 2) {
        const __m128d p =
            _mm_mul_pd(_mm_add_pd(_mm_loadu_pd(headPower + i), _mm_loadu_pd(tailPower + i)), half);
        const __m128d a = _mm_mul_pd(
            _mm_add_pd(_mm_loadu_pd(headAmplitude + i), _mm_loadu_pd(tailAmplitude + i)), half);
        _mm_storeu_pd(out + i, _mm_add_pd(_mm_mul_pd(p, p), _mm_mul_pd(a, a)));
    }
#endif
    for (; i < n; ++i) {
        const double p = (headPower[i] + tailPower[i]) * 0.5;
        const double a = (headAmplitude[i] + tailAmplitude[i]) * 0.5;
        out[i] = p * p + a * a;
    }
}

// One digit's count series and what is kept of it for the current frame size.
struct DigitSeries {
    std::vector<double> series;         // the (filtered) counts of every cycle
    double headScore = 0.0;             // score of the head frame
    std::vector<double> headPower;      // the head frame's normalised power (head and tail only)
    std::vector<double> headAmplitude;  // and its normalised amplitude
    std::vector<double> frameScore;     // score of the frame starting at s, kUnknown until made
};

// Scores frames of one size N with the pipeline's arithmetic.
class FrameScorer {
  public:
    explicit FrameScorer(std::uint32_t n) : plan_(n), re_(n), im_(n), power_(n), amplitude_(n) {}

    // The predictor's score of a frame: the peak of SetSpectrum's power.
    double Score(const double* frame) noexcept {
        Transform(frame);
        return corvalith::detail::NormalisedPeak(power_.data(), plan_.size());
    }

    // The head frame: its score, and its normalised power and amplitude
    // (as ComputeHeadTailSpectrum makes them) when `spectra` is set.
    void Head(const double* frame, DigitSeries& digit, bool spectra) {
        const std::uint32_t n = plan_.size();
        Transform(frame);
        digit.headScore = corvalith::detail::NormalisedPeak(power_.data(), n);
        if (!spectra) return;
        digit.headPower.assign(power_.begin(), power_.end());
        digit.headAmplitude.resize(n);
        SquareRoots(power_.data(), digit.headAmplitude.data(), n);
        corvalith::detail::Normalise(digit.headPower.data(), n);
        corvalith::detail::Normalise(digit.headAmplitude.data(), n);
    }

    // ComputeHeadTailSpectrum of the head frame (in `digit`) and the tail
    // frame `frame`, put through SetSpectrum and scored. Also returns the
    // tail frame's own score in `tailScore`.
    double HeadTail(const double* frame, const DigitSeries& digit, double& tailScore) noexcept {
        const std::uint32_t n = plan_.size();
        Transform(frame);
        SquareRoots(power_.data(), amplitude_.data(), n);
        double powerSum = 0.0;
        double amplitudeSum = 0.0;
        corvalith::detail::NormalisationSums(power_.data(), amplitude_.data(), n, powerSum,
                                             amplitudeSum);
        tailScore = corvalith::detail::PeakAfterDivision(corvalith::detail::Peak(power_.data(), n),
                                                         powerSum);
        corvalith::detail::DivideBySum(power_.data(), n, powerSum);
        corvalith::detail::DivideBySum(amplitude_.data(), n, amplitudeSum);
        AveragedPower(digit.headPower.data(), power_.data(), digit.headAmplitude.data(),
                      amplitude_.data(), re_.data(), n);
        return corvalith::detail::NormalisedPeak(re_.data(), n);
    }

  private:
    // ComputeFFT of the frame, then SetSpectrum's power before normalising.
    void Transform(const double* frame) noexcept {
        const std::uint32_t n = plan_.size();
        plan_.Forward(frame, re_.data(), im_.data());
        PowerOf(re_.data(), im_.data(), power_.data(), n);
    }

    FftPlan plan_;
    std::vector<double> re_;
    std::vector<double> im_;
    std::vector<double> power_;
    std::vector<double> amplitude_;
};

Ranking ToRanking(const std::array<double, kDigits>& scores) {
    const std::array<int, kDigits> order = RankDigits(scores);
    Ranking ranking{};
    for (int i = 0; i < kDigits; ++i) ranking[i] = static_cast<std::uint8_t>(order[i]);
    return ranking;
}

// Each digit's count series through the kernel the pipeline would design:
// ApplyFilter's convolution with DesignLPF's or DesignBPF's taps.
std::array<DigitSeries, kDigits> MakeDigitSeries(const CycleCounts& counts, FilterKind filter) {
    std::array<double, kKernelTaps> taps{};
    bool filtered = false;
    if (filter == FilterKind::Lpf || filter == FilterKind::Bpf) {
        const int rc = filter == FilterKind::Lpf ? corvalith::detail::LowPassTaps(taps.data())
                                                 : corvalith::detail::BandPassTaps(taps.data());
        if (rc != 0) throw std::bad_alloc();  // the design's only failure
        filtered = true;
    }
    std::array<DigitSeries, kDigits> digits;
    for (int d = 0; d < kDigits; ++d) {
        const std::vector<double> raw(counts.rows[d].begin(), counts.rows[d].end());
        if (!filtered) {
            digits[d].series = raw;
            continue;
        }
        digits[d].series.resize(raw.size());
        corvalith::detail::ConvolveCausal(taps.data(), raw.data(),
                                          static_cast<std::uint32_t>(raw.size()), 1,
                                          digits[d].series.data());
    }
    return digits;
}

// The effective placements that transform a frame of their own each cycle
// (the head's frame changes only when the frame length does).
std::size_t FramePlacements(FilterKind filter, std::span<const FftPlacement> placements) noexcept {
    return static_cast<std::size_t>(
        std::count_if(placements.begin(), placements.end(), [filter](FftPlacement asked) {
            const FftPlacement placement = EffectivePlacement(filter, asked);
            return placement != FftPlacement::Head && IsDefined(placement);
        }));
}

// The cycles M = first .. last weighed by their frame length (`frames`) or 1.
double CycleWeights(std::uint32_t first, std::uint32_t last, bool frames) noexcept {
    if (first > last) return 0.0;
    if (!frames) return static_cast<double>(last - first + 1);
    double sum = 0.0;
    // Whole runs of one frame length at a time: n for every M in [n, 2n).
    for (std::uint64_t n = LargestPowerOfTwo(first); n <= last; n *= 2) {
        const std::uint64_t from = std::max<std::uint64_t>(n, first);
        const std::uint64_t to = std::min<std::uint64_t>(2 * n - 1, last);
        sum += static_cast<double>(n) * static_cast<double>(to - from + 1);
    }
    return sum;
}

// Reports the share of a position's cycles done in steps of a 512th, so
// that a long position is heard from often and a short one costs nothing.
class ShareSteps {
  public:
    ShareSteps(const std::function<void(double)>* share, double total) noexcept
        : m_share(share), m_total(total), m_step(total / 512.0), m_next(m_step) {}

    void Add(double weight) {
        if (m_share == nullptr || m_total <= 0.0) return;
        m_done += weight;
        if (m_done < m_next) return;
        m_next = m_done + m_step;
        (*m_share)(std::min(1.0, m_done / m_total));
    }

  private:
    const std::function<void(double)>* m_share;
    double m_total;
    double m_step;
    double m_next;
    double m_done = 0.0;
};

}  // namespace

double ForecastWork(std::size_t values, const ForecastRule& rule,
                    std::span<const FftPlacement> placements, std::uint32_t firstCycle) noexcept {
    if (rule.interval == 0) return 0.0;
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(values, UINT32_MAX));
    const std::uint32_t cycles = count / rule.interval;
    const std::size_t frames = FramePlacements(rule.filter, placements);
    const double weights =
        CycleWeights(std::max<std::uint32_t>(firstCycle, 1), cycles, frames != 0);
    return frames == 0 ? weights : weights * static_cast<double>(frames);
}

std::optional<std::vector<CycleForecasts>> ForecastCycles(
    std::span<const double> values, const ForecastRule& rule,
    std::span<const FftPlacement> placements, std::uint32_t firstCycle,
    const std::atomic<bool>* cancel, const std::function<void(double)>* share) {
    const std::uint32_t interval = rule.interval;
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(values.size(), UINT32_MAX));
    const std::uint32_t cycles = interval == 0 ? 0 : count / interval;
    std::vector<CycleForecasts> out(placements.size(), CycleForecasts(std::size_t{cycles} + 1));
    const std::uint32_t first = std::max<std::uint32_t>(firstCycle, 1);
    if (first > cycles) return out;

    std::vector<FftPlacement> wanted(placements.size());
    std::transform(placements.begin(), placements.end(), wanted.begin(),
                   [&rule](FftPlacement asked) { return EffectivePlacement(rule.filter, asked); });
    const bool headTail =
        std::find(wanted.begin(), wanted.end(), FftPlacement::HeadTail) != wanted.end();

    std::array<DigitSeries, kDigits> digits =
        MakeDigitSeries(CountCycles(values.data(), count, interval), rule.filter);

    const bool frames = FramePlacements(rule.filter, placements) != 0;
    ShareSteps steps(share, CycleWeights(first, cycles, frames));
    std::optional<FrameScorer> scorer;
    std::uint32_t frame = 0;
    Ranking headRanking{};
    std::array<double, kDigits> scores{};
    for (std::uint32_t m = first; m <= cycles; ++m) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return std::nullopt;
        const std::uint32_t n = LargestPowerOfTwo(m);
        if (n != frame) {
            // A new frame size: the head frames, and no frame scored yet.
            frame = n;
            scorer.emplace(n);
            for (int d = 0; d < kDigits; ++d) {
                scorer->Head(digits[d].series.data(), digits[d], headTail);
                scores[d] = digits[d].headScore;
                digits[d].frameScore.assign(n, kUnknown);
                digits[d].frameScore[0] = digits[d].headScore;
            }
            headRanking = ToRanking(scores);
        }
        const std::uint32_t tailStart = m - n;
        // The frame of `start` for digit d, scored once.
        auto frameScore = [&](int d, std::uint32_t start) {
            double& known = digits[d].frameScore[start];
            if (std::isnan(known)) known = scorer->Score(digits[d].series.data() + start);
            return known;
        };

        // Head and tail first, so that its tail transforms serve the other placements.
        for (std::size_t order = 0; order < 2; ++order) {
            for (std::size_t p = 0; p < wanted.size(); ++p) {
                const FftPlacement placement = wanted[p];
                if ((placement == FftPlacement::HeadTail) != (order == 0)) continue;
                if (m == n || placement == FftPlacement::Head) {
                    out[p][m] = headRanking;  // the whole series, or its head
                    continue;
                }
                if (!IsDefined(placement)) continue;  // "Undefined FFT processing flag"
                for (int d = 0; d < kDigits; ++d) {
                    switch (placement) {
                        case FftPlacement::Tail:
                            scores[d] = frameScore(d, tailStart);
                            break;
                        case FftPlacement::Center:
                            scores[d] = frameScore(d, tailStart / 2);
                            break;
                        case FftPlacement::HeadTail:
                            scores[d] =
                                scorer->HeadTail(digits[d].series.data() + tailStart, digits[d],
                                                 digits[d].frameScore[tailStart]);
                            break;
                        case FftPlacement::Head:
                            break;
                    }
                }
                out[p][m] = ToRanking(scores);
            }
        }
        steps.Add(frames ? static_cast<double>(n) : 1.0);
    }
    return out;
}

std::vector<std::optional<Ranking>> ForecastEveryPrefix(std::span<const double> values,
                                                        const Setting& setting) {
    std::vector<std::optional<Ranking>> prefixes(values.size() + 1);
    if (setting.interval == 0) return prefixes;  // the predictors refuse it
    const FftPlacement placement = setting.fft;
    const std::optional<std::vector<CycleForecasts>> cycles =
        ForecastCycles(values, {setting.filter, setting.interval}, {&placement, 1});
    for (std::size_t j = 0; j < prefixes.size(); ++j) {
        prefixes[j] = (*cycles)[0][j / setting.interval];
    }
    return prefixes;
}

}  // namespace corvalith::evaluate::detail
