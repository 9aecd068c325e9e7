// predict --format json through the real binary: the names, and agreement
// with the text output and with the file itself.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "cli/check_command.h"
#include "tests/cli/simple_history.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using nlohmann::json;
using testing::ProgramResult;
using testing::RunProgram;

ProgramResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), CORVALITH_CLI);
    return RunProgram(args, 60);
}

std::set<std::string> Keys(const json& object) {
    std::set<std::string> keys;
    for (const auto& item : object.items()) keys.insert(item.key());
    return keys;
}

// The predictor text under each position label of the text output.
std::vector<std::string> TextsOf(const std::string& message) {
    std::vector<std::string> texts;
    for (const char* label : {"千の位：\n", "百の位：\n", "十の位：\n", "一の位：\n"}) {
        const std::size_t at = message.find(label);
        if (at == std::string::npos) return {};
        const std::size_t start = at + std::string(label).size();
        texts.push_back(message.substr(start, message.find('\n', start) - start));
    }
    return texts;
}

TEST(PredictJson, AgreesWithTheTextOutput) {
    const std::string sample = testing::SampleHistoryPath();
    const testing::SimpleHistory file = testing::ReadSimpleHistory(sample);
    struct Case {
        std::vector<std::string> options;
        std::string filter, fft;
        int interval;
    };
    const Case cases[] = {
        {{}, "lpf", "head", 15},
        {{"--filter", "bpf", "--interval", "20", "--fft", "headtail"}, "bpf", "headtail", 20},
        {{"--filter", "none", "--interval", "10", "--fft", "tail"}, "none", "head", 10},
        {{"--fft", "center", "--draw", "9"}, "lpf", "center", 15},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"predict", sample};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const ProgramResult text = Cli(args);
        args.insert(args.end(), {"--format", "json"});
        const ProgramResult result = Cli(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out.back(), '\n');
        EXPECT_EQ(result.out.find('\n'), result.out.size() - 1);  // one line
        const json j = json::parse(result.out);
        EXPECT_EQ(Keys(j), (std::set<std::string>{"format", "command", "history", "setting", "draw",
                                                  "positions"}));
        EXPECT_EQ(j["command"], "predict");
        EXPECT_EQ(j["history"]["draws"], file.numbers.size());
        EXPECT_EQ(j["history"]["first_draw"], file.numbers.front());
        EXPECT_EQ(j["history"]["last_draw"], file.numbers.back());
        EXPECT_EQ(j["setting"]["filter"], c.filter);
        EXPECT_EQ(j["setting"]["fft"], c.fft);
        EXPECT_EQ(j["setting"]["interval"], c.interval);
        const std::int64_t draw = j["draw"];
        EXPECT_EQ(text.out.rfind("予測回号: 第" + std::to_string(draw) + "回\n", 0), 0u);

        const std::vector<std::string> texts = TextsOf(text.out);
        ASSERT_EQ(texts.size(), 4u) << text.out;
        ASSERT_EQ(j["positions"].size(), 4u);
        const char* names[] = {"thousands", "hundreds", "tens", "ones"};
        const char* labels[] = {"千の位", "百の位", "十の位", "一の位"};
        for (std::size_t p = 0; p < 4; ++p) {
            const json& position = j["positions"][p];
            EXPECT_EQ(Keys(position),
                      (std::set<std::string>{"position", "label", "ranking", "scores", "text"}));
            EXPECT_EQ(position["position"], names[p]);
            EXPECT_EQ(position["label"], labels[p]);
            EXPECT_EQ(position["text"], texts[p]);
            const auto ranking = position["ranking"].get<std::vector<int>>();
            const auto scores = position["scores"].get<std::vector<double>>();
            ASSERT_EQ(ranking.size(), 10u);
            ASSERT_EQ(scores.size(), 10u);
            std::string digits;
            for (std::size_t i = 0; i < 10; ++i) {
                digits += (i ? ", " : "") + std::to_string(ranking[i]);
                if (i > 0) {
                    EXPECT_GE(scores[ranking[i - 1]], scores[ranking[i]]);
                }
            }
            EXPECT_EQ(texts[p], "パワースペクトル予想: " + digits);
        }
    }
}

TEST(PredictJson, ErrorPositionsAreNull) {
    testing::TempDir dir;
    const std::string header = dir.Write("h.csv", "h\n");
    const ProgramResult result = Cli({"predict", header, "--format", "json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const json j = json::parse(result.out);
    EXPECT_EQ(j["history"], json::parse(R"({"draws":0,"first_draw":null,"last_draw":null})"));
    EXPECT_EQ(j["draw"], 1);
    for (const json& position : j["positions"]) {
        EXPECT_TRUE(position["ranking"].is_null());
        EXPECT_TRUE(position["scores"].is_null());
        EXPECT_EQ(position["text"], "Error");
    }
    // Failures are the text output's.
    const ProgramResult missing = Cli({"predict", dir.File("missing"), "--format", "json"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "有効なファイルパスを入力してください。\n");
    EXPECT_EQ(missing.out, "");
    const std::string badPath = dir.Write("bad.csv", "h\nx\n");
    const ProgramResult bad = Cli({"predict", badPath, "--format", "json"});
    EXPECT_EQ(bad.exitCode, 3);
    EXPECT_EQ(bad.err,
              "カルヴェンダデータの読み込みに失敗しました。\n" + FirstLoadProblem(badPath) + "\n");
}

// The versioned contract: every command's object starts with "format": 1,
// then its "command", in the bytes a script reads.
TEST(JsonContract, EveryCommandsObjectStartsWithTheFormatVersion) {
    const testing::TempDir dir;
    const std::string history =
        dir.Write("h.csv", testing::MakeHistory(std::vector<std::string>(60, "1357")));
    for (const std::string command : {"predict", "backtest", "sweep", "randomness"}) {
        const ProgramResult result = Cli({command, history, "--format", "json"});
        ASSERT_EQ(result.exitCode, 0) << command << result.err;
        const std::string head = R"({"format":1,"command":")" + command + '"';
        EXPECT_EQ(result.out.substr(0, head.size()), head) << result.out.substr(0, 80);
        EXPECT_EQ(nlohmann::ordered_json::parse(result.out).begin().key(), "format");
    }
}

}  // namespace
}  // namespace corvalith
