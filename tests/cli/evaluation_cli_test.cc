// backtest, sweep and randomness through the real binary: JSON parsed back
// and checked against numbers computed here without the evaluation (the
// forecast of every prefix through RunPredict, digit counts from the file),
// the text report's columns and verdict, and agreement between the two.
#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/distributions/chi_squared.hpp>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "commands/predict_core.h"
#include "report/text_columns.h"
#include "tests/cli/simple_history.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/file_system_path.h"

namespace corvalith {
namespace {

using nlohmann::json;
using testing::ProgramResult;
using testing::TempDir;

ProgramResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), CORVALITH_CLI);
    return testing::RunProgram(args, 120);
}

json Json(const std::vector<std::string>& args) {
    std::vector<std::string> all = args;
    all.insert(all.end(), {"--format", "json"});
    const ProgramResult result = Cli(all);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1);  // one line
    return json::parse(result.out);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The first `draws` lines of the sample as a history of their own.
std::string SamplePrefix(const TempDir& dir, const std::string& name, std::size_t draws) {
    const std::string bytes = testing::ReadFile(testing::SampleHistoryPath());
    std::size_t end = 0;
    for (std::size_t line = 0; line <= draws; ++line) end = bytes.find('\n', end) + 1;
    return dir.Write(name, bytes.substr(0, end));
}

struct Expected {
    std::array<std::uint64_t, 4> evaluated{};
    std::array<std::array<std::uint64_t, 10>, 4> hits{}, hot{}, cold{};
    std::array<double, 4> rankSum{};
    std::uint64_t straightEvaluated = 0, straightHits = 0, changes = 0;
    std::optional<std::int64_t> firstEvaluated;
};

// Walks forward with RunPredict on every prefix file: the forecast of draw j
// is the window's forecast from the j draws before it.
Expected WalkForward(const std::string& path, std::int32_t filter, std::uint32_t interval,
                     std::int32_t fft) {
    const testing::SimpleHistory file = testing::ReadSimpleHistory(path);
    const std::string bytes = testing::ReadFile(path);
    TempDir dir;
    Expected e;
    std::array<std::array<std::uint64_t, 10>, 4> seen{};
    std::optional<std::array<std::optional<std::array<int, 10>>, 4>> previous;
    std::size_t end = bytes.find('\n') + 1;  // after the header
    for (std::size_t j = 0; j < file.numbers.size(); ++j) {
        if (j >= 1) {
            PredictRequest request;
            request.historyPath = PathFromFileSystem(dir.Write("prefix.csv", bytes.substr(0, end)));
            request.filterKind = filter;
            request.interval = interval;
            request.fftFlag = fft;
            const PredictDetail detail = RunPredictDetail(request);
            EXPECT_EQ(detail.status, PredictStatus::Ok);
            std::array<std::optional<std::array<int, 10>>, 4> forecast;
            int evaluated = 0, right = 0;
            for (std::size_t p = 0; p < 4; ++p) {
                const int digit = file.digits[p][j];
                if (!detail.positions[p].ranked || digit < 0) continue;
                forecast[p] = detail.positions[p].ranking;
                const auto& r = detail.positions[p].ranking;
                const int rank = static_cast<int>(std::find(r.begin(), r.end(), digit) - r.begin());
                for (int k = rank; k < 10; ++k) ++e.hits[p][k];
                e.rankSum[p] += rank + 1;
                ++e.evaluated[p];
                ++evaluated;
                right += rank == 0;
                // Hot: digits by descending count so far, ties by digit; cold ascending.
                int hot = 0, cold = 0;
                for (int d = 0; d < 10; ++d) {
                    const auto a = seen[p][d], b = seen[p][digit];
                    hot += a > b || (a == b && d < digit);
                    cold += a < b || (a == b && d < digit);
                }
                for (int k = hot; k < 10; ++k) ++e.hot[p][k];
                for (int k = cold; k < 10; ++k) ++e.cold[p][k];
            }
            if (evaluated == 4) {
                ++e.straightEvaluated;
                e.straightHits += right == 4;
            }
            if (evaluated > 0) {
                if (!e.firstEvaluated) {
                    e.firstEvaluated = file.numbers[j];
                } else if (forecast != *previous) {
                    ++e.changes;
                }
                previous = forecast;
            }
        }
        for (std::size_t p = 0; p < 4; ++p) {
            if (file.digits[p][j] >= 0) ++seen[p][file.digits[p][j]];
        }
        end = bytes.find('\n', end) + 1;
    }
    return e;
}

TEST(BacktestCli, JsonIsTheWalkForwardOfRunPredict) {
    TempDir dir;
    const std::string history = SamplePrefix(dir, "h.csv", 260);
    struct Case {
        std::string filter, fft;
        std::int32_t kind, flag;
        std::uint32_t interval;
        int top;
    };
    for (const Case& c : {Case{"lpf", "head", 0, 0, 10, 1}, Case{"bpf", "tail", 1, 1, 12, 3},
                          Case{"none", "head", 2, 0, 10, 10}}) {
        SCOPED_TRACE(c.filter);
        const json j =
            Json({"backtest", history, "--filter", c.filter, "--interval",
                  std::to_string(c.interval), "--fft", c.fft, "--top", std::to_string(c.top)});
        const Expected e = WalkForward(history, c.kind, c.interval, c.flag);
        EXPECT_EQ(j["command"], "backtest");
        EXPECT_EQ(j["history"]["draws"], 260);
        EXPECT_EQ(j["setting"]["filter"], c.filter);
        EXPECT_EQ(j["setting"]["interval"], c.interval);
        EXPECT_EQ(j["top"], c.top);
        ASSERT_TRUE(e.firstEvaluated);
        EXPECT_EQ(j["first_evaluated_draw"], *e.firstEvaluated);
        EXPECT_EQ(j["straight"]["evaluated"], e.straightEvaluated);
        EXPECT_EQ(j["straight"]["hits"], e.straightHits);
        EXPECT_DOUBLE_EQ(j["straight"]["expected"].get<double>(), e.straightEvaluated / 10000.0);
        EXPECT_EQ(j["changes"], e.changes);
        for (std::size_t p = 0; p < 4; ++p) {
            const json& position = j["positions"][p];
            const auto hits = position["hits"].get<std::vector<std::uint64_t>>();
            EXPECT_EQ(position["evaluated"], e.evaluated[p]);
            EXPECT_EQ(hits, std::vector<std::uint64_t>(e.hits[p].begin(), e.hits[p].end()));
            EXPECT_EQ(position["baselines"]["hot"]["hits"].get<std::vector<std::uint64_t>>(),
                      std::vector<std::uint64_t>(e.hot[p].begin(), e.hot[p].end()));
            EXPECT_EQ(position["baselines"]["cold"]["hits"].get<std::vector<std::uint64_t>>(),
                      std::vector<std::uint64_t>(e.cold[p].begin(), e.cold[p].end()));
            EXPECT_NEAR(position["mean_rank"].get<double>(), e.rankSum[p] / e.evaluated[p], 1e-12);
            EXPECT_DOUBLE_EQ(position["rate"].get<double>(),
                             static_cast<double>(hits[c.top - 1]) / e.evaluated[p]);
        }
    }
}

// On the whole sample: the JSON's own consistency, and the text report
// showing the same figures.
TEST(BacktestCli, SampleJsonConsistentAndTextAgrees) {
    const std::string sample = testing::SampleHistoryPath();
    for (const int top : {1, 2, 5}) {
        const std::vector<std::string> args = {"backtest", sample, "--top", std::to_string(top)};
        const json j = Json(args);
        EXPECT_EQ(j["history"]["first_draw"], 1);
        EXPECT_EQ(j["history"]["last_draw"], 6500);
        const ProgramResult text = Cli(args);
        ASSERT_EQ(text.exitCode, 0) << text.err;
        EXPECT_EQ(text.err, "");
        const std::vector<std::string> lines = Lines(text.out);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().rfind("結論: ", 0), 0u);
        for (std::size_t p = 0; p < 4; ++p) {
            const json& position = j["positions"][p];
            const auto hits = position["hits"].get<std::vector<std::uint64_t>>();
            const std::uint64_t evaluated = position["evaluated"];
            EXPECT_GT(evaluated, 6000u);
            EXPECT_TRUE(std::is_sorted(hits.begin(), hits.end()));
            EXPECT_EQ(hits[9], evaluated);
            EXPECT_DOUBLE_EQ(position["rate"].get<double>(),
                             static_cast<double>(hits[top - 1]) / evaluated);
            EXPECT_DOUBLE_EQ(position["chance"].get<double>(), top / 10.0);
            const double rate = position["rate"], low = position["ci95"][0],
                         high = position["ci95"][1];
            EXPECT_LE(low, rate);
            EXPECT_GE(high, rate);
            EXPECT_GT(position["p_value"].get<double>(), 0.0);
            EXPECT_LE(position["p_value"].get<double>(), 1.0);
            // The row of this position in the text report shows the same counts.
            const std::string label = position["label"];
            const auto row = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
                return l.rfind(label + "  ", 0) == 0;
            });
            ASSERT_NE(row, lines.end()) << text.out;
            std::istringstream cells(row->substr(label.size()));
            std::uint64_t shownEvaluated = 0, shownHits = 0;
            cells >> shownEvaluated >> shownHits;
            EXPECT_EQ(shownEvaluated, evaluated);
            EXPECT_EQ(shownHits, hits[top - 1]);
        }
        // The beats-chance verdict follows the p-values.
        bool beats = false;
        for (const json& position : j["positions"]) beats |= position["p_value"] < 0.05;
        EXPECT_EQ(lines.back().find("ありません") == std::string::npos, beats) << lines.back();
    }
}

TEST(SweepCli, EverySettingOnceAndTheBestIsTheHighestRate) {
    const std::string sample = testing::SampleHistoryPath();
    const json j = Json({"sweep", sample, "--from", "6300", "--top", "2", "--jobs", "2"});
    EXPECT_EQ(j["command"], "sweep");
    EXPECT_EQ(j["top"], 2);
    std::set<std::string> settings;
    double bestRate = -1;
    bool significant = false;
    for (const json& entry : j["settings"]) {
        const json& s = entry["setting"];
        settings.insert(s["filter"].get<std::string>() + " " + s["fft"].get<std::string>() + " " +
                        std::to_string(s["interval"].get<int>()));
        EXPECT_EQ(entry["first_evaluated_draw"], 6300);
        if (s["filter"] == "none") {
            EXPECT_EQ(s["fft"], "head");
        }
        for (const json& position : entry["positions"]) {
            const auto hits = position["hits"].get<std::vector<std::uint64_t>>();
            EXPECT_EQ(position["evaluated"], 201);  // draws 6300..6500
            EXPECT_EQ(hits[9], 201u);
            EXPECT_DOUBLE_EQ(position["rate"].get<double>(), hits[1] / 201.0);
            EXPECT_GE(position["p_holm"].get<double>(), position["p_value"].get<double>());
            EXPECT_LE(position["p_holm"].get<double>(), 1.0);
            bestRate = std::max(bestRate, position["rate"].get<double>());
            significant |= position["p_holm"] < 0.05;
        }
    }
    EXPECT_EQ(j["settings"].size(), 63u);
    EXPECT_EQ(settings.size(), 63u);
    EXPECT_EQ(j["best"]["rate"], bestRate);
    EXPECT_EQ(j["any_significant"], significant);

    // The same run with one thread, and its text report.
    EXPECT_EQ(Json({"sweep", sample, "--from", "6300", "--top", "2", "--jobs", "1"}), j);
    const ProgramResult text = Cli({"sweep", sample, "--from", "6300", "--top", "2"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.err, "");  // no progress line: stderr is not a terminal
    std::size_t rows = 0;
    std::set<std::size_t> widths;
    for (const std::string& line : Lines(text.out)) {
        if (line.rfind("lpf ", 0) == 0 || line.rfind("bpf ", 0) == 0 ||
            line.rfind("none ", 0) == 0 || line.rfind("フィルタ", 0) == 0) {
            ++rows;
            widths.insert(DisplayWidth(line));
        }
    }
    EXPECT_EQ(rows, 64u);
    EXPECT_EQ(widths.size(), 1u);  // every row ends in the same column
    EXPECT_EQ(Lines(text.out).back().rfind("結論: ", 0), 0u);
}

double ChiSquareP(double chi2, double df) {
    return boost::math::cdf(boost::math::complement(boost::math::chi_squared(df), chi2));
}

TEST(RandomnessCli, CountsAndStatisticsFromTheFile) {
    const std::string sample = testing::SampleHistoryPath();
    const testing::SimpleHistory file = testing::ReadSimpleHistory(sample);
    const std::size_t n = file.numbers.size();
    const json j = Json({"randomness", sample});
    EXPECT_EQ(j["command"], "randomness");
    ASSERT_EQ(j["positions"].size(), 4u);
    for (std::size_t p = 0; p < 4; ++p) {
        const json& position = j["positions"][p];
        std::array<std::uint64_t, 10> counts{};
        std::uint64_t repeats = 0;
        for (std::size_t i = 0; i < n; ++i) {
            ++counts[file.digits[p][i]];
            repeats += i > 0 && file.digits[p][i] == file.digits[p][i - 1];
        }
        EXPECT_EQ(position["counts"].get<std::vector<std::uint64_t>>(),
                  std::vector<std::uint64_t>(counts.begin(), counts.end()));
        double chi2 = 0;
        for (const auto c : counts) chi2 += (c - n / 10.0) * (c - n / 10.0) / (n / 10.0);
        EXPECT_NEAR(position["chi2"].get<double>(), chi2, 1e-9);
        EXPECT_EQ(position["df"], 9);
        EXPECT_NEAR(position["p_value"].get<double>(), ChiSquareP(chi2, 9), 1e-9);

        std::array<std::uint64_t, 100> pairs{};
        for (std::size_t i = 0; i + 1 < n; i += 2) {
            ++pairs[file.digits[p][i] * 10 + file.digits[p][i + 1]];
        }
        const double expected = (n / 2) / 100.0;
        double serial = 0;
        for (const auto c : pairs) serial += (c - expected) * (c - expected) / expected;
        EXPECT_EQ(position["serial"]["pairs"], n / 2);
        EXPECT_NEAR(position["serial"]["chi2"].get<double>(), serial, 1e-9);
        EXPECT_EQ(position["serial"]["df"], 99);
        EXPECT_EQ(position["repeat"]["n"], n - 1);
        EXPECT_EQ(position["repeat"]["repeats"], repeats);
        EXPECT_GT(position["repeat"]["p_value"].get<double>(), 0.0);
        EXPECT_LE(position["repeat"]["p_value"].get<double>(), 1.0);
    }
    std::set<std::pair<std::string, std::string>> seen;
    for (const json& pair : j["pairs"]) {
        seen.insert(
            {pair["positions"][0].get<std::string>(), pair["positions"][1].get<std::string>()});
        EXPECT_EQ(pair["df"], 81);
        EXPECT_NEAR(pair["p_value"].get<double>(), ChiSquareP(pair["chi2"].get<double>(), 81),
                    1e-9);
    }
    EXPECT_EQ(seen.size(), 6u);

    const ProgramResult text = Cli({"randomness", sample});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const std::string verdict = Lines(text.out).back();
    EXPECT_EQ(verdict.rfind("結論: ", 0), 0u);
    bool rejected = false;
    for (const json& position : j["positions"]) {
        rejected |= position["p_value"] < 0.05 || position["serial"]["p_value"] < 0.05 ||
                    position["repeat"]["p_value"] < 0.05;
    }
    for (const json& pair : j["pairs"]) rejected |= pair["p_value"] < 0.05;
    EXPECT_EQ(verdict.find("棄却しません") == std::string::npos, rejected) << verdict;
}

// A result that is not a digit is left out of the evaluation and the counts,
// and the text report says so.
TEST(EvaluationCli, NonDigitResultsAreLeftOut) {
    TempDir dir;
    std::vector<std::string> results;
    for (int i = 0; i < 200; ++i) results.push_back(std::to_string(1000 + (i * 7919) % 9000));
    results[199] = "12a4";
    const std::string history = dir.Write("h.csv", testing::MakeHistory(results));
    const json random = Json({"randomness", history});
    std::uint64_t tens = 0;
    for (const json& c : random["positions"][2]["counts"]) tens += c.get<std::uint64_t>();
    EXPECT_EQ(tens, 199u);
    const ProgramResult text = Cli({"randomness", history});
    EXPECT_NE(text.out.find("注: 数字でない当せん番号の桁（十の位 1）は数えていません。"),
              std::string::npos)
        << text.out;
    const json backtest = Json({"backtest", history, "--interval", "10"});
    EXPECT_LT(backtest["positions"][2]["evaluated"], backtest["positions"][1]["evaluated"]);
}

}  // namespace
}  // namespace corvalith
