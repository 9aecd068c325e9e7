// Counting tables over the digit series and chi-square statistics over them.
#include "evaluate/randomness.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>
#include <vector>

#include "evaluate/statistics.h"

namespace corvalith::evaluate {

namespace {

constexpr int kFrequencyDf = 9;
constexpr int kSerialDf = 99;
constexpr int kIndependenceDf = 81;
constexpr double kRepeatChance = 0.1;
constexpr std::array<std::array<std::size_t, 2>, 6> kPositionPairs{
    {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}};

using PairTable = std::array<std::uint64_t, 100>;  // [first * 10 + second]

// The digit a value stands for, or -1.
int DigitOf(double value) { return IsDigitValue(value) ? static_cast<int>(value) : -1; }

ChiSquareTest WithPValue(double chi2, int df) { return {chi2, df, ChiSquareUpperTail(chi2, df)}; }

// Goodness of fit of `observed` to equal expected counts in every cell.
ChiSquareTest AgainstUniform(std::span<const std::uint64_t> observed, int df) {
    const std::uint64_t total = std::accumulate(observed.begin(), observed.end(), std::uint64_t{0});
    if (total == 0) return {0.0, df, 1.0};
    const double expected = static_cast<double>(total) / static_cast<double>(observed.size());
    double chi2 = 0.0;
    for (const std::uint64_t count : observed) {
        const double deviation = static_cast<double>(count) - expected;
        chi2 += deviation * deviation / expected;
    }
    return WithPValue(chi2, df);
}

// Independence of rows and columns, expected counts from the margins.
ChiSquareTest Independence(const PairTable& table) {
    std::array<std::uint64_t, 10> rows{}, columns{};
    for (std::size_t a = 0; a < 10; ++a) {
        for (std::size_t b = 0; b < 10; ++b) {
            rows[a] += table[a * 10 + b];
            columns[b] += table[a * 10 + b];
        }
    }
    const std::uint64_t total = std::accumulate(rows.begin(), rows.end(), std::uint64_t{0});
    if (total == 0) return {0.0, kIndependenceDf, 1.0};
    double chi2 = 0.0;
    for (std::size_t a = 0; a < 10; ++a) {
        for (std::size_t b = 0; b < 10; ++b) {
            if (rows[a] == 0 || columns[b] == 0) continue;  // expected 0
            const double expected = static_cast<double>(rows[a]) * static_cast<double>(columns[b]) /
                                    static_cast<double>(total);
            const double deviation = static_cast<double>(table[a * 10 + b]) - expected;
            chi2 += deviation * deviation / expected;
        }
    }
    return WithPValue(chi2, kIndependenceDf);
}

PositionRandomness TestPosition(const std::vector<double>& values) {
    std::vector<int> digits(values.size());
    std::transform(values.begin(), values.end(), digits.begin(), DigitOf);

    PositionRandomness result;
    for (const int d : digits) {
        if (d >= 0) ++result.counts[static_cast<std::size_t>(d)];
    }
    result.frequency = AgainstUniform(result.counts, kFrequencyDf);

    PairTable serial{};
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        if (digits[i] < 0 || digits[i + 1] < 0) continue;
        ++serial[static_cast<std::size_t>(digits[i]) * 10 +
                 static_cast<std::size_t>(digits[i + 1])];
        ++result.serialPairs;
    }
    result.serial = AgainstUniform(serial, kSerialDf);

    result.repeatTrials = digits.empty() ? 0 : digits.size() - 1;
    for (std::size_t i = 1; i < digits.size(); ++i) {
        if (digits[i] >= 0 && digits[i] == digits[i - 1]) ++result.repeats;
    }
    result.repeatPValue = BinomialTwoSided(result.repeats, result.repeatTrials, kRepeatChance);
    return result;
}

ChiSquareTest TestPair(const std::vector<double>& first, const std::vector<double>& second) {
    PairTable table{};
    const std::size_t draws = std::min(first.size(), second.size());
    for (std::size_t i = 0; i < draws; ++i) {
        const int a = DigitOf(first[i]), b = DigitOf(second[i]);
        if (a >= 0 && b >= 0)
            ++table[static_cast<std::size_t>(a) * 10 + static_cast<std::size_t>(b)];
    }
    return Independence(table);
}

}  // namespace

std::optional<RandomnessResult> TestRandomness(const DrawTable& table,
                                               const std::atomic<bool>* cancel,
                                               const std::function<void(double)>& share) {
    const auto cancelled = [cancel] {
        return cancel != nullptr && cancel->load(std::memory_order_relaxed);
    };
    constexpr double kSteps = static_cast<double>(kPositionCount + kPositionPairs.size());
    std::size_t done = 0;
    const auto stepDone = [&share, &done] {
        ++done;
        if (share) share(static_cast<double>(done) / kSteps);
    };
    RandomnessResult result;
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        if (cancelled()) return std::nullopt;
        result.positions[p] = TestPosition(table.values[p]);
        stepDone();
    }
    for (std::size_t k = 0; k < kPositionPairs.size(); ++k) {
        if (cancelled()) return std::nullopt;
        const auto [a, b] = kPositionPairs[k];
        result.pairs[k] = {{a, b}, TestPair(table.values[a], table.values[b])};
        stepDone();
    }
    return result;
}

RandomnessResult TestRandomness(const DrawTable& table) { return *TestRandomness(table, nullptr); }

}  // namespace corvalith::evaluate
