// The evaluation reports as JSON. A backtest's positions and a sweep entry's
// are one shape; the sweep adds each position's Holm-adjusted p-value.
#include "report/json_report.h"

#include <optional>

#include "report/json_parts.h"
#include "report/position_names.h"

namespace corvalith {
namespace {

using evaluate::BacktestResult;
using evaluate::PositionResult;
using evaluate::Setting;
using evaluate::TopStatistics;

Json SettingOf(const Setting& setting) {
    return SettingJson(setting.filter, setting.interval, setting.fft);
}

Json PositionJson(std::size_t p, const PositionResult& position, const TopStatistics& statistics,
                  std::optional<double> pHolm) {
    Json object = {
        {"position", kPositionNames[p]},
        {"label", kPositionLabels[p]},
        {"evaluated", position.evaluated},
        {"hits", position.hits},
        {"rate", statistics.rate},
        {"ci95", Json::array({statistics.ci95.low, statistics.ci95.high})},
        {"chance", statistics.chance},
        {"p_value", statistics.pValue},
    };
    if (pHolm) object["p_holm"] = *pHolm;
    object["mean_rank"] = position.meanRank;
    object["baselines"] = {{"hot", {{"hits", position.hotHits}}},
                           {"cold", {{"hits", position.coldHits}}}};
    return object;
}

Json StraightJson(const evaluate::StraightResult& straight) {
    return {{"evaluated", straight.evaluated},
            {"hits", straight.hits},
            {"expected", straight.expected}};
}

Json TestJson(Json object, const evaluate::ChiSquareTest& test) {
    object["chi2"] = test.chi2;
    object["df"] = test.df;
    object["p_value"] = test.pValue;
    return object;
}

}  // namespace

std::string BacktestJson(const HistorySummary& history, const BacktestResult& result, int top) {
    return Dump(BacktestObject(history, result, top));
}

Json BacktestObject(const HistorySummary& history, const BacktestResult& result, int top) {
    Json positions = Json::array();
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        positions.push_back(PositionJson(p, result.positions[p],
                                         evaluate::StatisticsFor(result.positions[p], top),
                                         std::nullopt));
    }
    Json object = {
        {"format", kJsonFormat},
        {"command", "backtest"},
        {"history", HistoryJson(history)},
        {"setting", SettingOf(result.setting)},
        {"top", top},
        {"positions", positions},
        {"straight", StraightJson(result.straight)},
        {"changes", result.changes},
        {"first_evaluated_draw", OptionalJson(result.firstEvaluatedDraw)},
    };
    return object;
}

std::string SweepJson(const HistorySummary& history, const evaluate::SweepResult& result, int top) {
    return Dump(SweepObject(history, result, top));
}

Json SweepObject(const HistorySummary& history, const evaluate::SweepResult& result, int top) {
    Json settings = Json::array();
    for (const evaluate::SweepEntry& entry : result.settings) {
        Json positions = Json::array();
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            positions.push_back(
                PositionJson(p, entry.result.positions[p], entry.statistics[p], entry.pHolm[p]));
        }
        settings.push_back({
            {"setting", SettingOf(entry.result.setting)},
            {"positions", positions},
            {"straight", StraightJson(entry.result.straight)},
            {"changes", entry.result.changes},
            {"first_evaluated_draw", OptionalJson(entry.result.firstEvaluatedDraw)},
        });
    }
    Json best = nullptr;
    if (result.bestSetting < result.settings.size()) {
        const evaluate::SweepEntry& entry = result.settings[result.bestSetting];
        best = {{"setting", SettingOf(entry.result.setting)},
                {"position", kPositionNames[result.bestPosition]},
                {"rate", entry.statistics[result.bestPosition].rate}};
    }
    std::optional<std::int32_t> firstEvaluated;
    if (!result.settings.empty())
        firstEvaluated = result.settings.front().result.firstEvaluatedDraw;
    Json object = {
        {"format", kJsonFormat},
        {"command", "sweep"},
        {"history", HistoryJson(history)},
        {"top", top},
        {"settings", settings},
        {"best", best},
        {"any_significant", result.anySignificant},
    };
    return object;
}

std::string RandomnessJson(const HistorySummary& history,
                           const evaluate::RandomnessResult& result) {
    Json positions = Json::array();
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        const evaluate::PositionRandomness& r = result.positions[p];
        Json object = TestJson(
            {{"position", kPositionNames[p]}, {"label", kPositionLabels[p]}, {"counts", r.counts}},
            r.frequency);
        object["serial"] = TestJson({{"pairs", r.serialPairs}}, r.serial);
        object["repeat"] = {
            {"n", r.repeatTrials}, {"repeats", r.repeats}, {"p_value", r.repeatPValue}};
        positions.push_back(object);
    }
    Json pairs = Json::array();
    for (const evaluate::PairIndependence& pair : result.pairs) {
        const Json names =
            Json::array({kPositionNames[pair.positions[0]], kPositionNames[pair.positions[1]]});
        pairs.push_back(TestJson({{"positions", names}}, pair.test));
    }
    const Json object = {
        {"format", kJsonFormat},  {"command", "randomness"}, {"history", HistoryJson(history)},
        {"positions", positions}, {"pairs", pairs},
    };
    return Dump(object);
}

}  // namespace corvalith
