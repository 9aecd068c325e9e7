// corvix-cli check and the command usages through the real binary: the
// wiring only; the diagnosis itself is held to the reader in tests/history.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "cli/cli_args.h"
#include "history/history_check.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
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

TEST(CheckCli, ListsTheProblemsAndExitsThreeOrSaysTheFileLoads) {
    TempDir dir;
    const std::string good = dir.Write("good.csv", MakeHistory({"1234", "5678"}));
    const auto fine = Cli("check " + ShellQuote(good));
    EXPECT_EQ(fine.exitCode, 0);
    EXPECT_EQ(fine.err, "");
    EXPECT_NE(fine.out, "");

    const std::string bad = dir.Write(
        "bad.csv", MakeHistory({"1234"}) + "\n" + testing::ToCp932("第3回,2024-1-5,金,1,-\n"));
    const HistoryDiagnosis diagnosis = DiagnoseHistory(bad);
    const auto text = Cli("check " + ShellQuote(bad));
    EXPECT_EQ(text.exitCode, 3);
    EXPECT_EQ(text.out.rfind(Utf16ToUtf8(ProblemLines(diagnosis)), 0), 0u) << text.out;

    const auto json = Cli("check " + ShellQuote(bad) + " --format json");
    EXPECT_EQ(json.exitCode, 3);
    const nlohmann::json j = nlohmann::json::parse(json.out);
    EXPECT_FALSE(j["loads"].get<bool>());
    ASSERT_EQ(j["problems"].size(), diagnosis.problems.size());
    EXPECT_EQ(j["problems"][1]["line"], 4);
    EXPECT_EQ(j["problems"][1]["field"], 2);
}

TEST(CheckCli, CommandHelpIsThatCommandsUsageAndAUsageErrorPointsToIt) {
    const auto help = Cli("check --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, CommandUsage("check"));
    EXPECT_NE(help.out.find("  corvix-cli check HISTORY"), std::string::npos);
    EXPECT_EQ(help.out.find("corvix-cli predict"), std::string::npos);
    EXPECT_EQ(Cli("--help").out, std::string(CliUsage()));

    const auto bad = Cli("add h.csv 1234 --top 3");
    EXPECT_EQ(bad.exitCode, 64);
    EXPECT_EQ(bad.err, "corvix-cli: unknown option: --top\n詳しくは corvix-cli add --help\n");
}

}  // namespace
}  // namespace corvalith
