// The fast forecasts against the predictors themselves on every prefix of a
// history with some non-digit values, for settings that cover the three
// filters, the four placements, the undefined ones and many frame sizes;
// and against RunPredict on history files.
#include "evaluate/walk_forward.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/predict_core.h"
#include "dsp/intervals.h"
#include "tests/evaluate/backtest_reference.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/file_system_path.h"

namespace corvalith::evaluate {
namespace {

using detail::ForecastEveryPrefix;
using detail::Ranking;
using testing::PredictorRanking;
using testing::RandomTable;

std::string Describe(const Setting& s) {
    return std::string(NameOf(s.filter)) + " " + std::to_string(s.interval) + " " +
           std::string(NameOf(s.fft)) + " (flag " + std::to_string(FftFlag(s.fft)) + ", kind " +
           std::to_string(IFType(s.filter)) + ")";
}

// Every prefix 0 .. size of one position's values, fast path against predictor.
void ExpectEveryPrefixMatches(const std::vector<double>& values, const Setting& setting) {
    const std::vector<std::optional<Ranking>> fast = ForecastEveryPrefix(values, setting);
    ASSERT_EQ(fast.size(), values.size() + 1);
    std::size_t forecasts = 0;
    for (std::size_t j = 0; j <= values.size(); ++j) {
        const std::optional<Ranking> expected = PredictorRanking(values, j, setting);
        ASSERT_EQ(fast[j], expected) << Describe(setting) << ", prefix of " << j << " draws";
        forecasts += expected.has_value();
    }
    // Nothing before the first whole cycle, a forecast from there on (when
    // the placement is defined).
    if (setting.interval != 0 && setting.interval <= values.size()) {
        EXPECT_FALSE(fast[setting.interval - 1].has_value());
        EXPECT_GT(forecasts, 0u) << Describe(setting);
    }
}

constexpr auto kHead = FftPlacement::Head;
constexpr auto kTail = FftPlacement::Tail;
constexpr auto kCenter = FftPlacement::Center;
constexpr auto kHeadTail = FftPlacement::HeadTail;

TEST(ForecastEveryPrefix, IsThePredictorsRankingForEveryPrefixUnderEachFilterAndPlacement) {
    // Every filter x interval x placement, each on one position in turn.
    const DrawTable table = RandomTable(330, 11, 3);
    std::size_t position = 0;
    for (const FilterKind filter : {FilterKind::Lpf, FilterKind::Bpf, FilterKind::None}) {
        for (const std::uint32_t interval : kIntervals) {
            for (const FftPlacement placement : kAllPlacements) {
                ExpectEveryPrefixMatches(table.values[position++ % kPositionCount],
                                         {filter, interval, placement});
            }
        }
    }
}

TEST(ForecastEveryPrefix, MatchesOnLongCountSeriesWithFramesUpTo256) {
    // Short cycles give up to 330 cycles, so frames of 1 .. 256 and every
    // tail, centre and head-and-tail frame in between.
    const DrawTable table = RandomTable(330, 12, 2);
    ExpectEveryPrefixMatches(table.values[0], {FilterKind::Lpf, 1, kTail});
    ExpectEveryPrefixMatches(table.values[1], {FilterKind::Bpf, 2, kHeadTail});
    ExpectEveryPrefixMatches(table.values[2], {FilterKind::Lpf, 3, kCenter});
    ExpectEveryPrefixMatches(table.values[3], {FilterKind::None, 1, kHead});
}

TEST(ForecastEveryPrefix, MatchesThePredictorsOnTheRealHistoryAtSpreadPrefixes) {
    // Up to 705 cycles: frames of 512 and the longest filtered series.
    const std::string path = ::corvalith::testing::RealHistoryPath();
    if (path.empty()) GTEST_SKIP() << "no real history";
    DrawTable table;
    ASSERT_EQ(LoadDrawTable(path, table), 0);
    const std::vector<Setting> settings = {{FilterKind::Lpf, 10, kTail},
                                           {FilterKind::Bpf, 10, kHeadTail},
                                           {FilterKind::Lpf, 12, kCenter},
                                           {FilterKind::None, 10, kHead}};
    for (const Setting& setting : settings) {
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            const auto fast = ForecastEveryPrefix(table.values[p], setting);
            for (std::size_t j = table.size(); j > 0; j -= std::min<std::size_t>(j, 331)) {
                ASSERT_EQ(fast[j], PredictorRanking(table.values[p], j, setting))
                    << Describe(setting) << ", position " << p << ", " << j << " draws";
            }
        }
    }
}

TEST(ForecastEveryPrefix, ReproducesTheErrorsOfUndefinedModesAndIntervals) {
    const DrawTable table = RandomTable(120, 13, 5);
    // An undefined placement works only where the cycle count is a power of two.
    ExpectEveryPrefixMatches(table.values[0], {FilterKind::Lpf, 5, static_cast<FftPlacement>(7)});
    ExpectEveryPrefixMatches(table.values[1], {FilterKind::Bpf, 3, static_cast<FftPlacement>(-2)});
    // NONE ignores the placement, even an undefined one.
    ExpectEveryPrefixMatches(table.values[2], {FilterKind::None, 4, static_cast<FftPlacement>(9)});
    // A filter kind beyond NONE filters nothing but keeps the placement.
    ExpectEveryPrefixMatches(table.values[3], {static_cast<FilterKind>(7), 4, kTail});
    // Interval 0 and an interval longer than the history never forecast.
    for (const std::uint32_t interval : {0u, 121u, 4000000000u}) {
        const Setting setting{FilterKind::Lpf, interval, kHead};
        for (const auto& forecast : ForecastEveryPrefix(table.values[0], setting)) {
            EXPECT_FALSE(forecast.has_value()) << interval;
        }
    }
}

TEST(ForecastCycles, PlacementsComputedTogetherEqualEachComputedAlone) {
    const DrawTable table = RandomTable(700, 14, 1);
    const std::vector<FftPlacement> all(std::begin(kAllPlacements), std::end(kAllPlacements));
    for (const FilterKind filter : {FilterKind::Lpf, FilterKind::Bpf, FilterKind::None}) {
        const detail::ForecastRule rule{filter, 10};
        const auto together = detail::ForecastCycles(table.values[0], rule, all);
        ASSERT_TRUE(together.has_value());
        ASSERT_EQ(together->size(), all.size());
        for (std::size_t k = 0; k < all.size(); ++k) {
            const auto alone = detail::ForecastCycles(table.values[0], rule, {&all[k], 1});
            ASSERT_TRUE(alone.has_value());
            EXPECT_EQ((*together)[k], (*alone)[0]) << NameOf(filter) << " " << NameOf(all[k]);
            // 700 draws make 70 cycles, entries 0 .. 70; 0 cycles is "Error".
            ASSERT_EQ((*alone)[0].size(), 71u);
            EXPECT_FALSE((*alone)[0][0].has_value());
            for (std::size_t m = 1; m <= 70; ++m) EXPECT_TRUE((*alone)[0][m].has_value()) << m;
        }
        if (filter == FilterKind::None) {
            // NONE is the head whatever was asked.
            for (std::size_t k = 1; k < all.size(); ++k) EXPECT_EQ((*together)[k], (*together)[0]);
        }
    }
}

TEST(ForecastCycles, LeavesTheCyclesBeforeTheFirstAskedEmptyAndStopsWhenCancelled) {
    const DrawTable table = RandomTable(400, 15);
    const FftPlacement tail = kTail;
    const detail::ForecastRule rule{FilterKind::Bpf, 10};
    const auto all = detail::ForecastCycles(table.values[1], rule, {&tail, 1});
    const auto later = detail::ForecastCycles(table.values[1], rule, {&tail, 1}, 25);
    ASSERT_TRUE(all && later);
    for (std::size_t m = 0; m < (*all)[0].size(); ++m) {
        if (m < 25) {
            EXPECT_FALSE((*later)[0][m].has_value()) << m;
        } else {
            EXPECT_EQ((*later)[0][m], (*all)[0][m]) << m;
        }
    }
    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(detail::ForecastCycles(table.values[1], rule, {&tail, 1}, 0, &cancel));
}

// The four position texts of RunPredict's message, parsed.
std::array<std::optional<Ranking>, 4> RunPredictRankings(const std::string& path,
                                                         const Setting& setting) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(path);
    request.interval = setting.interval;
    request.filterKind = IFType(setting.filter);
    request.fftFlag = FftFlag(setting.fft);
    const PredictOutcome outcome = RunPredict(request);
    EXPECT_EQ(outcome.status, PredictStatus::Ok);
    std::array<std::optional<Ranking>, 4> rankings;
    const std::u16string labels[] = {u"千の位：\n", u"百の位：\n", u"十の位：\n", u"一の位：\n"};
    for (std::size_t p = 0; p < 4; ++p) {
        const std::size_t start = outcome.text.find(labels[p]);
        EXPECT_NE(start, std::u16string::npos);
        if (start == std::u16string::npos) continue;
        const std::size_t from = start + labels[p].size();
        const std::u16string line =
            outcome.text.substr(from, outcome.text.find(u'\n', from) - from);
        if (line == u"Error") continue;
        Ranking ranking{};
        EXPECT_EQ(line.size(), 12u + 28u);  // "パワースペクトル予想: " and "d, d, ..., d"
        if (line.size() != 12u + 28u) continue;
        for (int i = 0; i < 10; ++i)
            ranking[i] = static_cast<std::uint8_t>(line[12 + 3 * i] - u'0');
        rankings[p] = ranking;
    }
    return rankings;
}

TEST(ForecastEveryPrefix, IsRunPredictsForecastOfAFileOfTheFirstDraws) {
    const DrawTable table = RandomTable(260, 16);
    ::corvalith::testing::TempDir dir;
    const std::vector<Setting> settings = {{FilterKind::Lpf, 15, kTail},
                                           {FilterKind::Bpf, 10, kHeadTail},
                                           {FilterKind::None, 12, kCenter},
                                           {FilterKind::Lpf, 20, kCenter}};
    for (const Setting& setting : settings) {
        std::array<std::vector<std::optional<Ranking>>, 4> fast;
        for (std::size_t p = 0; p < 4; ++p) fast[p] = ForecastEveryPrefix(table.values[p], setting);
        for (const std::size_t j :
             {std::size_t{14}, std::size_t{150}, std::size_t{199}, std::size_t{260}}) {
            std::vector<std::string> results;
            for (std::size_t i = 0; i < j; ++i) {
                std::string digits;
                for (std::size_t p = 0; p < 4; ++p) {
                    digits += static_cast<char>('0' + static_cast<int>(table.values[p][i]));
                }
                results.push_back(digits);
            }
            const std::string path = dir.Write("first-" + std::to_string(j) + ".csv",
                                               ::corvalith::testing::MakeHistory(results));
            const auto expected = RunPredictRankings(path, setting);
            for (std::size_t p = 0; p < 4; ++p) {
                EXPECT_EQ(fast[p][j], expected[p]) << Describe(setting) << ", " << j << " draws";
            }
        }
    }
}

}  // namespace
}  // namespace corvalith::evaluate
