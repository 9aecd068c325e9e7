// The evaluation reports from hand-built results: the JSON names and their
// consistency, columns that line up, and the verdict sentence each way.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "report/json_report.h"
#include "report/text_columns.h"
#include "report/text_report.h"

namespace corvalith {
namespace {

using nlohmann::json;

std::set<std::string> Keys(const json& object) {
    std::set<std::string> keys;
    for (const auto& item : object.items()) keys.insert(item.key());
    return keys;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string LastLine(const std::string& text) {
    const auto lines = Lines(text);
    return lines.empty() ? std::string() : lines.back();
}

const char* const kLabels[] = {"千の位", "百の位", "十の位", "一の位"};
const char* const kNames[] = {"thousands", "hundreds", "tens", "ones"};

// Rows of the table whose first cell is a position label (and the header
// row "位"): all of one display width, since the last column is right-aligned.
void ExpectAlignedRows(const std::string& text, const std::string& header, std::size_t rows) {
    std::vector<std::size_t> widths;
    for (const std::string& line : Lines(text)) {
        const bool row = line.rfind(header, 0) == 0 || line.rfind("千の位  ", 0) == 0 ||
                         line.rfind("百の位  ", 0) == 0 || line.rfind("十の位  ", 0) == 0 ||
                         line.rfind("一の位  ", 0) == 0;
        if (row) widths.push_back(DisplayWidth(line));
    }
    ASSERT_GE(widths.size(), rows) << text;
    for (std::size_t i = 1; i < rows; ++i) EXPECT_EQ(widths[i], widths[0]) << text;
}

// Cumulative hits of `evaluated` draws: `first` at rank 1, the rest spread
// evenly over ranks 2-10.
evaluate::Hits CumulativeHits(std::uint64_t evaluated, std::uint64_t first) {
    evaluate::Hits hits{};
    const std::uint64_t rest = (evaluated - first) / 9;
    hits[0] = first;
    for (int k = 1; k < 9; ++k) hits[k] = hits[k - 1] + rest;
    hits[9] = evaluated;
    return hits;
}

evaluate::BacktestResult Backtest(std::uint64_t firstHitsOfThousands) {
    evaluate::BacktestResult result;
    result.setting = {FilterKind::Bpf, 20, FftPlacement::Tail};
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        auto& position = result.positions[p];
        position.evaluated = 1000;
        position.hits = CumulativeHits(1000, p == 0 ? firstHitsOfThousands : 100);
        position.meanRank = 5.5;
        position.hotHits = CumulativeHits(1000, 98);
        position.coldHits = CumulativeHits(1000, 103);
    }
    result.straight = {1000, 0, 0.1};
    result.changes = 321;
    result.firstEvaluatedDraw = 2;
    return result;
}

const HistorySummary kHistory{1001, 1, 1001};

TEST(BacktestReport, JsonNamesAndConsistency) {
    for (const int top : {1, 3, 10}) {
        const json j = json::parse(BacktestJson(kHistory, Backtest(100), top));
        EXPECT_EQ(Keys(j), (std::set<std::string>{"format", "command", "history", "setting", "top",
                                                  "positions", "straight", "changes",
                                                  "first_evaluated_draw"}));
        EXPECT_EQ(j["command"], "backtest");
        EXPECT_EQ(j["history"], json::parse(R"({"draws":1001,"first_draw":1,"last_draw":1001})"));
        EXPECT_EQ(j["setting"], json::parse(R"({"filter":"bpf","interval":20,"fft":"tail"})"));
        EXPECT_EQ(j["top"], top);
        EXPECT_EQ(j["changes"], 321);
        EXPECT_EQ(j["first_evaluated_draw"], 2);
        EXPECT_EQ(Keys(j["straight"]), (std::set<std::string>{"evaluated", "hits", "expected"}));
        ASSERT_EQ(j["positions"].size(), 4u);
        for (std::size_t p = 0; p < 4; ++p) {
            const json& position = j["positions"][p];
            EXPECT_EQ(Keys(position), (std::set<std::string>{"position", "label", "evaluated",
                                                             "hits", "rate", "ci95", "chance",
                                                             "p_value", "mean_rank", "baselines"}));
            EXPECT_EQ(position["position"], kNames[p]);
            EXPECT_EQ(position["label"], kLabels[p]);
            const auto hits = position["hits"].get<std::vector<std::uint64_t>>();
            ASSERT_EQ(hits.size(), 10u);
            EXPECT_DOUBLE_EQ(position["rate"].get<double>(), hits[top - 1] / 1000.0);
            EXPECT_DOUBLE_EQ(position["chance"].get<double>(), top / 10.0);
            EXPECT_LE(position["ci95"][0].get<double>(), position["rate"].get<double>());
            EXPECT_GE(position["ci95"][1].get<double>(), position["rate"].get<double>());
            EXPECT_EQ(Keys(position["baselines"]), (std::set<std::string>{"hot", "cold"}));
            EXPECT_EQ(position["baselines"]["hot"]["hits"].size(), 10u);
            EXPECT_EQ(position["baselines"]["cold"]["hits"][0], 103);
        }
    }
    evaluate::BacktestResult none = Backtest(100);
    none.firstEvaluatedDraw.reset();
    EXPECT_TRUE(json::parse(BacktestJson({}, none, 1))["first_evaluated_draw"].is_null());
    EXPECT_TRUE(json::parse(BacktestJson({}, none, 1))["history"]["first_draw"].is_null());
}

TEST(BacktestReport, TextColumnsAndVerdict) {
    const std::string chance = BacktestText({kHistory, {}}, Backtest(100), 1);
    ExpectAlignedRows(chance, "位  ", 5);
    EXPECT_EQ(LastLine(chance), "結論: 上位 1 の的中率が 5 % 水準で偶然を上回った位はありません。");
    EXPECT_NE(chance.find("第1回〜第1001回"), std::string::npos);
    EXPECT_NE(chance.find("bpf"), std::string::npos);
    EXPECT_EQ(chance.find("注:"), std::string::npos);

    // 200 hits in 1000 at chance 0.1 is far beyond chance; 100 is not.
    const std::string beats = BacktestText({kHistory, {3, 0, 0, 1}}, Backtest(200), 1);
    EXPECT_NE(LastLine(beats).find("千の位"), std::string::npos) << LastLine(beats);
    EXPECT_EQ(LastLine(beats).find("百の位"), std::string::npos);
    EXPECT_NE(beats.find("注: 数字でない当せん番号の桁（千の位 3、一の位 1）"), std::string::npos);
}

evaluate::SweepResult Sweep(double smallestHolm) {
    evaluate::SweepResult result;
    for (const std::uint32_t interval : {10u, 30u}) {
        evaluate::SweepEntry entry;
        entry.result = Backtest(100);
        entry.result.setting = {FilterKind::Lpf, interval, FftPlacement::HeadTail};
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            entry.statistics[p] = evaluate::StatisticsFor(entry.result.positions[p], 2);
            entry.pHolm[p] = 1.0;
        }
        result.settings.push_back(entry);
    }
    evaluate::SweepEntry& best = result.settings[1];
    best.result.positions[2].hits = CumulativeHits(1000, 130);  // hits[1] = 130 + 96
    best.statistics[2] = evaluate::StatisticsFor(best.result.positions[2], 2);
    best.pHolm[2] = smallestHolm;
    result.bestSetting = 1;
    result.bestPosition = 2;
    result.anySignificant = smallestHolm < 0.05;
    return result;
}

TEST(SweepReport, JsonNames) {
    const json j = json::parse(SweepJson(kHistory, Sweep(0.01), 2));
    EXPECT_EQ(Keys(j), (std::set<std::string>{"format", "command", "history", "top", "settings",
                                              "best", "any_significant"}));
    EXPECT_EQ(j["command"], "sweep");
    EXPECT_EQ(j["top"], 2);
    EXPECT_EQ(j["any_significant"], true);
    ASSERT_EQ(j["settings"].size(), 2u);
    for (const json& entry : j["settings"]) {
        EXPECT_EQ(Keys(entry), (std::set<std::string>{"setting", "positions", "straight", "changes",
                                                      "first_evaluated_draw"}));
        EXPECT_EQ(entry["setting"]["fft"], "headtail");
        ASSERT_EQ(entry["positions"].size(), 4u);
        for (const json& position : entry["positions"]) {
            EXPECT_TRUE(position.contains("p_holm"));
            EXPECT_GE(position["p_holm"].get<double>(), 0.0);
            EXPECT_LE(position["p_holm"].get<double>(), 1.0);
            const auto hits = position["hits"].get<std::vector<std::uint64_t>>();
            EXPECT_DOUBLE_EQ(position["rate"].get<double>(), hits[1] / 1000.0);
        }
    }
    EXPECT_EQ(j["settings"][1]["positions"][2]["p_holm"], 0.01);
    EXPECT_EQ(Keys(j["best"]), (std::set<std::string>{"setting", "position", "rate"}));
    EXPECT_EQ(j["best"]["setting"]["interval"], 30);
    EXPECT_EQ(j["best"]["position"], "tens");
    EXPECT_EQ(j["best"]["rate"], 0.226);
    EXPECT_EQ(json::parse(SweepJson(kHistory, Sweep(0.5), 2))["any_significant"], false);
}

TEST(SweepReport, TextVerdict) {
    const std::string none = SweepText({kHistory, {}}, Sweep(0.5), 2);
    EXPECT_EQ(LastLine(none),
              "結論: 多重比較を Holm 法で補正すると、5 % 水準で偶然を上回る設定はありません。");
    const std::string some = SweepText({kHistory, {}}, Sweep(0.01), 2);
    EXPECT_NE(LastLine(some).find("lpf 30 headtail の十の位"), std::string::npos) << LastLine(some);
    EXPECT_NE(some.find("最高      lpf 30 headtail の十の位 22.60%"), std::string::npos);
    // Every setting row, and the header, of one display width.
    std::vector<std::size_t> widths;
    for (const std::string& line : Lines(some)) {
        if (line.rfind("lpf ", 0) == 0 || line.rfind("フィルタ", 0) == 0) {
            widths.push_back(DisplayWidth(line));
        }
    }
    ASSERT_EQ(widths.size(), 3u) << some;
    EXPECT_EQ(widths[1], widths[0]);
    EXPECT_EQ(widths[2], widths[0]);
}

evaluate::RandomnessResult Randomness(double oneP) {
    evaluate::RandomnessResult result;
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        auto& r = result.positions[p];
        for (int d = 0; d < 10; ++d) r.counts[d] = 100 + d;
        r.frequency = {4.5, 9, 0.5};
        r.serialPairs = 522;
        r.serial = {99.0, 99, 0.5};
        r.repeatTrials = 1044;
        r.repeats = 104;
        r.repeatPValue = 0.9;
    }
    std::size_t k = 0;
    for (std::size_t a = 0; a < kPositionCount; ++a) {
        for (std::size_t b = a + 1; b < kPositionCount; ++b) {
            result.pairs[k++] = {{a, b}, {81.0, 81, 0.5}};
        }
    }
    result.pairs[4].test.pValue = oneP;  // hundreds and ones
    return result;
}

TEST(RandomnessReport, JsonNames) {
    const json j = json::parse(RandomnessJson(kHistory, Randomness(0.5)));
    EXPECT_EQ(Keys(j),
              (std::set<std::string>{"format", "command", "history", "positions", "pairs"}));
    EXPECT_EQ(j["command"], "randomness");
    ASSERT_EQ(j["positions"].size(), 4u);
    for (std::size_t p = 0; p < 4; ++p) {
        const json& position = j["positions"][p];
        EXPECT_EQ(Keys(position), (std::set<std::string>{"position", "label", "counts", "chi2",
                                                         "df", "p_value", "serial", "repeat"}));
        EXPECT_EQ(position["position"], kNames[p]);
        EXPECT_EQ(position["counts"].size(), 10u);
        EXPECT_EQ(position["df"], 9);
        EXPECT_EQ(Keys(position["serial"]),
                  (std::set<std::string>{"pairs", "chi2", "df", "p_value"}));
        EXPECT_EQ(Keys(position["repeat"]), (std::set<std::string>{"n", "repeats", "p_value"}));
        EXPECT_EQ(position["repeat"]["n"], 1044);
    }
    ASSERT_EQ(j["pairs"].size(), 6u);
    for (const json& pair : j["pairs"]) {
        EXPECT_EQ(Keys(pair), (std::set<std::string>{"positions", "chi2", "df", "p_value"}));
        ASSERT_TRUE(pair["positions"].is_array());
        EXPECT_EQ(pair["positions"].size(), 2u);
    }
    EXPECT_EQ(j["pairs"][4]["positions"], json::parse(R"(["hundreds","ones"])"));
}

TEST(RandomnessReport, TextVerdict) {
    const std::string none = RandomnessText({kHistory, {}}, Randomness(0.5));
    EXPECT_EQ(LastLine(none), "結論: 18 の検定のどれも 5 % 水準で一様で独立な数字を棄却しません。");
    ExpectAlignedRows(none, "位  ", 5);
    const std::string one = RandomnessText({kHistory, {}}, Randomness(0.001));
    EXPECT_NE(LastLine(one).find("1 つが 5 % 水準で"), std::string::npos) << LastLine(one);
    EXPECT_NE(LastLine(one).find("百の位と一の位の独立性"), std::string::npos);
}

TEST(ReportNumbers, Formats) {
    EXPECT_EQ(Percent(0.1), "10.00%");
    EXPECT_EQ(Percent(1.0), "100.00%");
    EXPECT_EQ(PValue(0.5), "0.5000");
    EXPECT_EQ(PValue(0.00009), "<0.0001");
    EXPECT_EQ(PValue(1.0), "1.0000");
    EXPECT_EQ(Fixed(2.345, 1), "2.3");
}

}  // namespace
}  // namespace corvalith
