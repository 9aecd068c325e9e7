// The three text reports. Every verdict is at 5 %: backtest per position
// without correction (and says so), sweep after Holm's correction over all
// settings and positions, randomness per test with the Holm count beside it.
#include "report/text_report.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "evaluate/statistics.h"
#include "report/position_names.h"
#include "report/text_columns.h"

namespace corvalith {
namespace {

using evaluate::BacktestResult;
using evaluate::Setting;

std::string Number(std::uint64_t n) { return std::to_string(n); }

std::string Draw(std::int32_t n) { return "第" + std::to_string(n) + "回"; }

std::string HistoryLine(const HistorySummary& history) {
    std::string line = "履歴      " + Number(history.draws) + " 回";
    if (history.firstDraw && history.lastDraw) {
        line += "（" + Draw(*history.firstDraw) + "〜" + Draw(*history.lastDraw) + "）";
    }
    return line + "\n";
}

std::string SettingName(const Setting& setting) {
    return std::string(NameOf(setting.filter)) + " " + std::to_string(setting.interval) + " " +
           std::string(NameOf(setting.fft));
}

std::string EvaluatedLine(std::uint64_t evaluated, const std::optional<std::int32_t>& first) {
    if (!first || evaluated == 0) return "評価      評価できる回はありません\n";
    return "評価      " + Draw(*first) + "から " + Number(evaluated) +
           " 回（各回をそれより前の回だけで予想）\n";
}

// The sweep's settings start at different draws (a forecast needs at least
// one cycle): the range of first draws and of evaluated counts.
std::string SweepEvaluatedLine(const evaluate::SweepResult& result) {
    std::optional<std::int32_t> firstLow, firstHigh;
    std::uint64_t countLow = UINT64_MAX, countHigh = 0;
    for (const evaluate::SweepEntry& entry : result.settings) {
        const auto& first = entry.result.firstEvaluatedDraw;
        const std::uint64_t count = entry.result.positions[0].evaluated;
        countLow = std::min(countLow, count);
        countHigh = std::max(countHigh, count);
        if (!first) continue;
        if (!firstLow || *first < *firstLow) firstLow = first;
        if (!firstHigh || *first > *firstHigh) firstHigh = first;
    }
    if (!firstLow) return "評価      評価できる回はありません\n";
    if (*firstLow == *firstHigh && countLow == countHigh) {
        return EvaluatedLine(countLow, firstLow);
    }
    return "評価      " + Draw(*firstLow) + "〜" + Draw(*firstHigh) + "から " + Number(countLow) +
           "〜" + Number(countHigh) + " 回（設定による。各回をそれより前の回だけで予想）\n";
}

// "注: ..." when some results are not digits, else nothing.
std::string NonDigitNote(const ReportContext& context, const char* what) {
    std::string list;
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        if (context.nonDigits[p] == 0) continue;
        if (!list.empty()) list += "、";
        list += std::string(kPositionLabels[p]) + " " + Number(context.nonDigits[p]);
    }
    if (list.empty()) return {};
    return "注: 数字でない当せん番号の桁（" + list + "）は" + what + "\n";
}

std::string Join(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty()) text += "、";
        text += part;
    }
    return text;
}

}  // namespace

std::string Percent(double fraction) { return Fixed(fraction * 100.0, 2) + "%"; }

std::string PValue(double p) { return p < 0.0001 ? std::string("<0.0001") : Fixed(p, 4); }

std::string Fixed(double value, int digits) {
    if (!std::isfinite(value)) return "-";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", digits, value);
    return buffer;
}

std::string BacktestText(const ReportContext& context, const BacktestResult& result, int top) {
    const std::string k = std::to_string(top);
    std::string text = "バックテスト（ウォークフォワード）\n";
    text += HistoryLine(context.history);
    text += "設定      フィルタ " + std::string(NameOf(result.setting.filter)) + "、間隔 " +
            std::to_string(result.setting.interval) + "、FFT " +
            std::string(NameOf(result.setting.fft)) + "、上位 " + k + "\n";
    text += EvaluatedLine(result.positions[0].evaluated, result.firstEvaluatedDraw);
    text += "\n";

    TextTable table({Align::Left, Align::Right, Align::Right, Align::Right, Align::Right,
                     Align::Right, Align::Right, Align::Right, Align::Right, Align::Right});
    table.AddRow({"位", "評価数", "的中", "的中率", "95%信頼区間", "偶然", "p値", "平均順位",
                  "ホット", "コールド"});
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        const evaluate::PositionResult& position = result.positions[p];
        const evaluate::TopStatistics s = evaluate::StatisticsFor(position, top);
        table.AddRow({std::string(kPositionLabels[p]), Number(position.evaluated),
                      Number(position.hits[top - 1]), Percent(s.rate),
                      Percent(s.ci95.low) + "〜" + Percent(s.ci95.high), Percent(s.chance),
                      PValue(s.pValue), Fixed(position.meanRank, 2),
                      Number(position.hotHits[top - 1]), Number(position.coldHits[top - 1])});
    }
    text += table.Render();
    text += "\n";
    text +=
        "p値は的中数が偶然以上になる確率（二項分布）。ホットとコールドは、それまでの出現が多い順"
        "・少ない順に並べた場合の的中数。\n";
    text += "ストレート（4 桁とも 1 位が的中）: 評価 " + Number(result.straight.evaluated) +
            " 回、的中 " + Number(result.straight.hits) + " 回、偶然の期待値 " +
            Fixed(result.straight.expected, 2) + " 回\n";
    text += "順位の変化: 前の回と順位が変わった回 " + Number(result.changes) + " 回\n";
    text += NonDigitNote(context, "評価から除いています。");
    text += "\n";
    return text + BacktestVerdict(result, top);
}

std::string BacktestVerdict(const BacktestResult& result, int top) {
    const std::string k = std::to_string(top);
    std::vector<std::string> beating;
    std::uint64_t evaluated = 0;
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        const evaluate::PositionResult& position = result.positions[p];
        evaluated += position.evaluated;
        if (position.evaluated > 0 &&
            evaluate::StatisticsFor(position, top).pValue < evaluate::kSignificance) {
            beating.push_back(std::string(kPositionLabels[p]));
        }
    }
    if (evaluated == 0) return "結論: 評価できる回がないため、偶然との比較はできません。\n";
    if (beating.empty()) {
        return "結論: 上位 " + k + " の的中率が " + SignificanceLevelText() +
               " 水準で偶然を上回った位はありません。\n";
    }
    return "結論: 上位 " + k + " の的中率が " + SignificanceLevelText() +
           " 水準で偶然を上回った位は " + Join(beating) +
           " です（4 つの位の多重比較は補正していません）。\n";
}

std::string SweepText(const ReportContext& context, const evaluate::SweepResult& result, int top) {
    const std::string k = std::to_string(top);
    std::string text =
        "スイープ（全 " + Number(result.settings.size()) + " 設定のウォークフォワード評価）\n";
    text += HistoryLine(context.history);
    if (result.settings.empty()) return text + "\n" + SweepVerdict(result);
    text += SweepEvaluatedLine(result);
    text += "欄        各位は上位 " + k + " の的中率 / Holm 補正後の p 値（偶然は " +
            Percent(top / 10.0) + "）、ストレートは的中 / 評価\n\n";

    TextTable table({Align::Left, Align::Right, Align::Left, Align::Right, Align::Right,
                     Align::Right, Align::Right, Align::Right});
    table.AddRow({"フィルタ", "間隔", "FFT", std::string(kPositionLabels[0]),
                  std::string(kPositionLabels[1]), std::string(kPositionLabels[2]),
                  std::string(kPositionLabels[3]), "ストレート"});
    for (const evaluate::SweepEntry& entry : result.settings) {
        const Setting& setting = entry.result.setting;
        std::vector<std::string> row = {std::string(NameOf(setting.filter)),
                                        std::to_string(setting.interval),
                                        std::string(NameOf(setting.fft))};
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            row.push_back(Percent(entry.statistics[p].rate) + " / " + PValue(entry.pHolm[p]));
        }
        row.push_back(Number(entry.result.straight.hits) + " / " +
                      Number(entry.result.straight.evaluated));
        table.AddRow(std::move(row));
    }
    text += table.Render();
    text += "\n";
    const evaluate::SweepEntry& best = result.settings[result.bestSetting];
    text += "最高      " + SettingName(best.result.setting) + " の" +
            std::string(kPositionLabels[result.bestPosition]) + " " +
            Percent(best.statistics[result.bestPosition].rate) + "（Holm 補正後の p 値 " +
            PValue(best.pHolm[result.bestPosition]) + "）\n";
    text += NonDigitNote(context, "評価から除いています。");
    text += "\n";
    return text + SweepVerdict(result);
}

std::string SweepVerdict(const evaluate::SweepResult& result) {
    if (result.settings.empty()) return "結論: 評価した設定がありません。\n";
    std::vector<std::string> significant;
    std::uint64_t evaluated = 0;
    for (const evaluate::SweepEntry& entry : result.settings) {
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            evaluated += entry.result.positions[p].evaluated;
            if (entry.pHolm[p] < evaluate::kSignificance) {
                significant.push_back(SettingName(entry.result.setting) + " の" +
                                      std::string(kPositionLabels[p]) + "（p " +
                                      PValue(entry.pHolm[p]) + "）");
            }
        }
    }
    if (evaluated == 0) return "結論: 評価できる回がないため、偶然との比較はできません。\n";
    if (!result.anySignificant) {
        return "結論: 多重比較を Holm 法で補正すると、" + SignificanceLevelText() +
               " 水準で偶然を上回る設定はありません。\n";
    }
    return "結論: Holm 法で補正しても " + SignificanceLevelText() + " 水準で偶然を上回るのは " +
           Join(significant) + " です。\n";
}

std::string RandomnessText(const ReportContext& context, const evaluate::RandomnessResult& result) {
    std::string text = "乱数性の検定（一様で独立な数字か）\n";
    text += HistoryLine(context.history);
    text += "\n";

    text += "出現頻度（カイ二乗適合度検定）\n";
    std::vector<Align> frequencyAligns(15, Align::Right);
    frequencyAligns[0] = Align::Left;
    TextTable frequency(frequencyAligns);
    std::vector<std::string> head = {"位"};
    for (int d = 0; d < 10; ++d) head.push_back(std::to_string(d));
    for (const char* h : {"χ²", "自由度", "p値"}) head.push_back(h);
    frequency.AddRow(head);
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        const evaluate::PositionRandomness& r = result.positions[p];
        std::vector<std::string> row = {std::string(kPositionLabels[p])};
        for (const std::uint64_t n : r.counts) row.push_back(Number(n));
        row.push_back(Fixed(r.frequency.chi2, 2));
        row.push_back(std::to_string(r.frequency.df));
        row.push_back(PValue(r.frequency.pValue));
        frequency.AddRow(std::move(row));
    }
    text += frequency.Render() + "\n";

    text += "続く 2 回の組（重ならない組の 10×10 表）と前の回と同じ数字（二項検定、確率 0.1）\n";
    TextTable serial({Align::Left, Align::Right, Align::Right, Align::Right, Align::Right,
                      Align::Right, Align::Right, Align::Right, Align::Right});
    serial.AddRow({"位", "組数", "χ²", "自由度", "p値", "試行", "同じ", "期待値", "p値"});
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        const evaluate::PositionRandomness& r = result.positions[p];
        serial.AddRow({std::string(kPositionLabels[p]), Number(r.serialPairs),
                       Fixed(r.serial.chi2, 2), std::to_string(r.serial.df),
                       PValue(r.serial.pValue), Number(r.repeatTrials), Number(r.repeats),
                       Fixed(static_cast<double>(r.repeatTrials) * 0.1, 1),
                       PValue(r.repeatPValue)});
    }
    text += serial.Render() + "\n";

    text += "位どうしの独立性（同じ回の 2 つの位の 10×10 表）\n";
    TextTable pairs({Align::Left, Align::Right, Align::Right, Align::Right});
    pairs.AddRow({"組", "χ²", "自由度", "p値"});
    for (const evaluate::PairIndependence& pair : result.pairs) {
        const std::string name = std::string(kPositionLabels[pair.positions[0]]) + "と" +
                                 std::string(kPositionLabels[pair.positions[1]]);
        pairs.AddRow({name, Fixed(pair.test.chi2, 2), std::to_string(pair.test.df),
                      PValue(pair.test.pValue)});
    }
    text += pairs.Render();
    text += NonDigitNote(context, "数えていません。");
    text += "\n";
    return text + RandomnessVerdict(result);
}

std::vector<NamedTest> RandomnessTests(const evaluate::RandomnessResult& result) {
    std::vector<NamedTest> tests;
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        tests.push_back(
            {std::string(kPositionLabels[p]) + "の出現頻度", result.positions[p].frequency.pValue});
    }
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        const evaluate::PositionRandomness& r = result.positions[p];
        tests.push_back({std::string(kPositionLabels[p]) + "の続く組", r.serial.pValue});
        tests.push_back({std::string(kPositionLabels[p]) + "の繰り返し", r.repeatPValue});
    }
    for (const evaluate::PairIndependence& pair : result.pairs) {
        tests.push_back({std::string(kPositionLabels[pair.positions[0]]) + "と" +
                             std::string(kPositionLabels[pair.positions[1]]) + "の独立性",
                         pair.test.pValue});
    }
    return tests;
}

std::string RandomnessVerdict(const evaluate::RandomnessResult& result) {
    const std::vector<NamedTest> tests = RandomnessTests(result);
    std::vector<double> p;
    std::vector<std::string> rejected;
    for (const NamedTest& test : tests) {
        p.push_back(test.pValue);
        if (test.pValue < evaluate::kSignificance) rejected.push_back(test.name);
    }
    const std::vector<double> holm = evaluate::HolmAdjust(p);
    std::size_t rejectedAfterHolm = 0;
    for (const double q : holm) rejectedAfterHolm += q < evaluate::kSignificance ? 1 : 0;
    const std::string count = Number(tests.size());
    if (rejected.empty()) {
        return "結論: " + count + " の検定のどれも " + SignificanceLevelText() +
               " 水準で一様で独立な数字を棄却しません。\n";
    }
    return "結論: " + count + " の検定のうち " + Number(rejected.size()) + " つが " +
           SignificanceLevelText() + " 水準で一様で独立な数字を棄却します（" + Join(rejected) +
           "。多重比較を Holm 法で補正すると " + Number(rejectedAfterHolm) + " つ）。\n";
}

std::string SignificanceLevelText() {
    return std::to_string(std::lround(evaluate::kSignificance * 100)) + " %";
}

ReportContext ContextOf(const DrawTable& table) noexcept { return ContextOf(SummaryOf(table)); }

ReportContext ContextOf(const HistorySummary& history) noexcept {
    return {history, history.nonDigits};
}

}  // namespace corvalith
