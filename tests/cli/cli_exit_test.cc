// corvix-cli as a script drives it: the real binary, its output and its
// exit status for each outcome.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "commands/predict_core.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

using testing::MakeHistory;
using testing::RunCommand;
using testing::ShellQuote;
using testing::TempDir;

testing::CommandResult Cli(const std::string& arguments) {
    return RunCommand(ShellQuote(CORVALITH_CLI) + " " + arguments);
}

std::string Expected(const std::string& path, std::int32_t draw, std::int32_t kind,
                     std::uint32_t interval, std::int32_t fft = 0) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(path);
    request.drawNumber = draw;
    request.filterKind = kind;
    request.interval = interval;
    request.fftFlag = fft;
    const PredictOutcome outcome = RunPredict(request);
    EXPECT_EQ(outcome.status, PredictStatus::Ok);
    return Utf16ToUtf8(outcome.text) + "\n";
}

TEST(CorvixCli, PrintsTheForecastForEveryFilterAndInterval) {
    const std::string sample = testing::SampleHistoryPath();
    const char* filters[] = {"lpf", "bpf", "none"};
    for (int kind = 0; kind < 3; ++kind) {
        for (const std::uint32_t interval : {10u, 12u, 15u, 18u, 20u, 24u, 30u}) {
            const auto result = Cli("predict " + ShellQuote(sample) + " --filter " + filters[kind] +
                                    " --interval " + std::to_string(interval));
            ASSERT_EQ(result.exitCode, 0) << result.err;
            EXPECT_EQ(result.out, Expected(sample, 6501, kind, interval));
            EXPECT_TRUE(result.err.empty());
        }
    }
    const auto tail = Cli("predict " + ShellQuote(sample) + " --fft tail --draw 9");
    EXPECT_EQ(tail.out, Expected(sample, 9, 0, 15, 1));
}

TEST(CorvixCli, DrawNumberDefaultsToTheProposal) {
    TempDir dir;
    const std::string none = dir.Write("none.csv", MakeHistory({}));
    EXPECT_EQ(Cli("predict " + ShellQuote(none)).out.rfind("予測回号: 第1回\n", 0), 0u);
    const std::string top = dir.Write("top.csv", MakeHistory({"1234"}, 2147483647));
    EXPECT_EQ(Cli("predict " + ShellQuote(top)).out.rfind("予測回号: 第2147483647回\n", 0), 0u);
    EXPECT_EQ(Cli("next-draw " + ShellQuote(top)).out, "2147483648\n");
    const std::string nine = dir.Write("nine.csv", MakeHistory({"1", "2"}, 9998));
    EXPECT_EQ(Cli("next-draw " + ShellQuote(nine)).out, "10000\n");
    const auto empty = Cli("next-draw " + ShellQuote(none));
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, "");
}

TEST(CorvixCli, ExitStatusAndMessageOfEachFailure) {
    TempDir dir;
    const std::string bad = dir.Write("bad.csv", "h\nx\n");
    struct Case {
        std::string arguments;
        int exitCode;
        std::string firstErrLine;
    };
    const Case cases[] = {
        {"predict ''", 2, "ファイルパスが入力されていません。"},
        {"predict " + ShellQuote(dir.File("missing")), 2, "有効なファイルパスを入力してください。"},
        {"predict " + ShellQuote(bad), 3, "カルヴェンダデータの読み込みに失敗しました。"},
        {"predict " + ShellQuote(dir.path()), 3, "カルヴェンダデータの読み込みに失敗しました。"},
        {"next-draw ''", 2, "ファイルパスが入力されていません。"},
        {"next-draw " + ShellQuote(dir.File("missing")), 2,
         "有効なファイルパスを入力してください。"},
        {"next-draw " + ShellQuote(bad), 3, "カルヴェンダデータの読み込みに失敗しました。"},
        {"predict x --interval 11", 64,
         "corvix-cli: --interval must be one of 10, 12, 15, 18, 20, 24, 30: 11"},
        {"predict x --bogus", 64, "corvix-cli: unknown option: --bogus"},
        {"", 64, "corvix-cli: no command given"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto result = Cli(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), c.firstErrLine);
        EXPECT_TRUE(result.out.empty());
        if (c.exitCode == 64) {
            const std::string command = c.arguments.substr(0, c.arguments.find(' '));
            EXPECT_EQ(result.err, c.firstErrLine + "\n詳しくは corvix-cli " +
                                      (command.empty() ? "" : command + " ") + "--help\n");
        } else if (c.exitCode == 3) {  // and the first problem on a line of its own
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2);
        } else {
            EXPECT_EQ(result.err, c.firstErrLine + "\n");
        }
    }
    const auto help = Cli("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage:\n", 0), 0u);
}

TEST(CorvixCli, PrintsTheProjectVersion) {
    const auto version = Cli("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("corvix-cli ") + CORVALITH_PROJECT_VERSION + "\n");
    EXPECT_TRUE(version.err.empty());
}

TEST(CorvixCli, TraceOnlyWhenAsked) {
    TempDir dir;
    const std::string history = dir.Write("h.csv", MakeHistory({"1234", "5678", "9012", "3456"}));
    ASSERT_EQ(Cli("predict " + ShellQuote(history) + " --interval 10").exitCode, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
    const std::string trace = dir.File("trace.log");
    ASSERT_EQ(Cli("predict " + ShellQuote(history) + " --interval 10 --filter bpf --trace " +
                  ShellQuote(trace))
                  .exitCode,
              0);
    const std::string text = testing::ReadFile(trace);
    // Four positions, each refused at digit 0 (fewer draws than the interval).
    EXPECT_EQ(text.rfind("PredictDigit called for ", 0), 0u);
    std::size_t errors = 0;
    for (std::size_t at = text.find("Error in ProcessSingleDigit for digit 0\n");
         at != std::string::npos;
         at = text.find("Error in ProcessSingleDigit for digit 0\n", at + 1)) {
        ++errors;
    }
    EXPECT_EQ(errors, 4u);
    // An unwritable trace changes nothing but the trace.
    const auto full = Cli("predict " + ShellQuote(history) + " --interval 10 --trace /dev/full");
    EXPECT_EQ(full.exitCode, 0);
}

}  // namespace
}  // namespace corvalith
