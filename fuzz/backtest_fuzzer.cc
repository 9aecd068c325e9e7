// Backtest on a small draw table with some values that are not digits, under
// any setting (undefined filter kinds and placements included). Input layout:
//   u8  options: bit 0 a first draw to evaluate (an i32 follows the draw
//       numbers), bit 1 compare the forecasts with the predictors
//   u8  filter: % 4 = 0 LPF, 1 BPF, 2 NONE, 3 any value (an i32 follows)
//   u8  placement: % 5 = 0 head, 1 tail, 2 center, 3 head and tail, 4 any
//       value (an i32 follows)
//   u8  interval: below 0xE0 the byte % 32 (0 .. 31), else a u32 follows
//   u16 draws (% 301), i32 number of the first draw, then one byte a value,
//       draw after draw, thousands first: below 0xF0 the digit byte % 10,
//       else a blank, -1, 10, a letter or a full-width digit (bytes past the
//       end read as zeros, so as the digit 0)
// Each result is held to the invariants of a backtest; with bit 1 the fast
// forecasts of one position are compared with the predictors' on prefixes.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dsp/spectrum.h"
#include "dsp/wa_data.h"
#include "evaluate/backtest.h"
#include "evaluate/walk_forward.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "predict/digit_predictor.h"
#include "predict/digit_ranking.h"

namespace {

using corvalith::DrawTable;
using corvalith::kPositionCount;
using corvalith::fuzz::FuzzInput;
namespace evaluate = corvalith::evaluate;

constexpr std::size_t kMaxDraws = 300;
constexpr double kOthers[] = {' ' - '0', -1.0, 10.0, 'A' - '0', u'\uFF11' - u'0'};

corvalith::FilterKind MakeFilter(FuzzInput& input) {
    const std::uint8_t selector = input.U8() % 4;
    if (selector < 3) return static_cast<corvalith::FilterKind>(selector);
    return static_cast<corvalith::FilterKind>(input.I32());
}

corvalith::FftPlacement MakePlacement(FuzzInput& input) {
    const std::uint8_t selector = input.U8() % 5;
    if (selector < 4) return corvalith::kAllPlacements[selector];
    return static_cast<corvalith::FftPlacement>(input.I32());
}

std::uint32_t MakeInterval(FuzzInput& input) {
    const std::uint8_t selector = input.U8();
    return selector < 0xE0 ? selector % 32u : input.U32();
}

void CheckHits(const evaluate::Hits& hits, std::uint64_t evaluated) {
    for (std::size_t k = 1; k < hits.size(); ++k) FUZZ_CHECK(hits[k - 1] <= hits[k]);
    FUZZ_CHECK(hits.back() == evaluated);
}

// The predictor's ranking of the first j values, or nothing for "Error".
std::optional<evaluate::detail::Ranking> PredictorRanking(const std::vector<double>& values,
                                                          std::size_t j,
                                                          const evaluate::Setting& setting) {
    corvalith::ScopedWAData data;
    if (j != 0) {
        data.get().samples = new double[j];
        std::copy(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(j),
                  data.get().samples);
        data.get().count = static_cast<std::uint32_t>(j);
        data.get().rate = 1;
    }
    Spectrum shared;
    const std::string text =
        setting.filter == corvalith::FilterKind::None
            ? PredictPowerSpectrumDigit(shared, data.get(), "p", "", setting.interval)
            : PredictDigit(shared, data.get(), corvalith::FftFlag(setting.fft),
                           corvalith::IFType(setting.filter), "p", "", setting.interval);
    if (text == corvalith::kResultError) return std::nullopt;
    const std::size_t prefix = sizeof corvalith::kResultPrefix - 1;
    FUZZ_CHECK(text.size() == prefix + 28);
    evaluate::detail::Ranking ranking{};
    for (std::size_t i = 0; i < ranking.size(); ++i) {
        ranking[i] = static_cast<std::uint8_t>(text[prefix + 3 * i] - '0');
    }
    return ranking;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t options = input.U8();
    evaluate::Setting setting;
    setting.filter = MakeFilter(input);
    setting.fft = MakePlacement(input);
    setting.interval = MakeInterval(input);
    const std::size_t draws = input.U16() % (kMaxDraws + 1);
    const std::int32_t first = input.I32();

    DrawTable table;
    for (std::size_t i = 0; i < draws; ++i) {
        // Numbers rise from `first`, wrapping at the 32-bit limit.
        table.numbers.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(first) +
                                                          static_cast<std::uint32_t>(i)));
    }
    for (std::size_t i = 0; i < draws; ++i) {
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            const std::uint8_t byte = input.U8();
            table.values[p].push_back(byte < 0xF0 ? byte % 10 : kOthers[byte % 5]);
        }
    }
    evaluate::EvaluationOptions evaluation;
    if ((options & 1) != 0) evaluation.from = input.I32();

    const auto result = evaluate::Backtest(table, setting, evaluation);
    FUZZ_CHECK(result.has_value());

    // At most the draws from the first whole cycle on can be evaluated.
    std::uint64_t candidates = 0;
    for (std::size_t j = 1; j < draws; ++j) {
        const bool counted = !evaluation.from || table.numbers[j] >= *evaluation.from;
        if (counted && setting.interval != 0 && j >= setting.interval) ++candidates;
    }
    std::uint64_t most = 0;
    for (const evaluate::PositionResult& position : result->positions) {
        FUZZ_CHECK(position.evaluated <= candidates);
        CheckHits(position.hits, position.evaluated);
        CheckHits(position.hotHits, position.evaluated);
        CheckHits(position.coldHits, position.evaluated);
        if (position.evaluated == 0) {
            FUZZ_CHECK(position.meanRank == 0.0);
        } else {
            FUZZ_CHECK(position.meanRank >= 1.0 && position.meanRank <= 10.0);
        }
        FUZZ_CHECK(result->straight.evaluated <= position.evaluated);
        most = std::max(most, position.evaluated);
    }
    FUZZ_CHECK(result->straight.hits <= result->straight.evaluated);
    FUZZ_CHECK(result->firstEvaluatedDraw.has_value() == (most != 0));
    if (most == 0) FUZZ_CHECK(result->changes == 0);
    if (result->firstEvaluatedDraw && evaluation.from) {
        FUZZ_CHECK(*result->firstEvaluatedDraw >= *evaluation.from);
    }
    FUZZ_CHECK(result->changes <= candidates);

    // A cancelled run returns nothing.
    const std::atomic<bool> cancel{true};
    FUZZ_CHECK(!evaluate::Backtest(table, setting, evaluation, {{}, &cancel}).has_value());

    if ((options & 2) != 0 && draws != 0) {
        // The fast forecasts of one position against the predictors on about
        // sixteen prefixes, the whole table among them.
        const std::vector<double>& values = table.values[options % kPositionCount];
        const auto fast = evaluate::detail::ForecastEveryPrefix(values, setting);
        FUZZ_CHECK(fast.size() == draws + 1);
        const std::size_t step = std::max<std::size_t>(1, draws / 16);
        for (std::size_t j = draws;; j -= std::min(j, step)) {
            FUZZ_CHECK(fast[j] == PredictorRanking(values, j, setting));
            if (j == 0) break;
        }
    }
    return 0;
}
