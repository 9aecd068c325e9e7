// `corvix-cli update` wired end to end against the tests' own server: the
// real binary imports a download, stops at version.json when nothing is new,
// and a failed download is one line, exit 69, the history untouched. The
// rules of the download and the import are tested in net/ and commands/.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/update_command.h"
#include "tests/support/history_files.h"
#include "tests/support/local_server.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::LocalServer;
using testing::MakeHistory;
using testing::ReadFile;
using testing::RunProgram;
using testing::TempDir;
using testing::ToCp932;

// Three draws in the table form with a Japanese header.
constexpr char kSource[] =
    "回号,抽せん日,当せん番号\n第1回,2001-05-07,1234\n第2回,2001-05-08,5678\n"
    "第3回,2001-05-09,9012\n";

struct Fixture {
    TempDir served;
    TempDir work;
    std::string table = served.Write("results.csv", kSource);
    LocalServer server{served.path()};
};

TEST(UpdateCli, ImportsTheDownloadInOneWrite) {
    Fixture f;
    ASSERT_TRUE(f.server.ok());
    const std::string history = f.work.Write("h.csv", MakeHistory({"1234"}));
    const auto run = RunProgram({CORVALITH_CLI, "update", history, "--source",
                                 f.server.Url("/files/results.csv"), "--format", "json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["command"], "update");
    EXPECT_EQ(report["source_newest"], 3);
    EXPECT_EQ(report["added"]["first"], 2);
    EXPECT_EQ(report["added"]["last"], 3);
    EXPECT_EQ(report["unchanged"], 1);
    EXPECT_EQ(report["highest"], 3);
    EXPECT_EQ(report["up_to_date"], false);
    EXPECT_NE(ReadFile(history).find(ToCp932("第3回,2001/5/9,水,9012,")), std::string::npos)
        << ReadFile(history);
}

TEST(UpdateCli, NothingNewStopsAtTheVersionFile) {
    Fixture f;
    // version.json beside a full download that is not there: a download
    // would fail with 404, so exit 0 shows it was never asked for.
    f.served.Write("version.json", R"({"latest_draw_no": 3, "total_records": 3})");
    ASSERT_TRUE(f.server.ok());
    const std::string history =
        f.work.Write("h.csv", MakeHistory({"1234", "5678"}) +
                                  ToCp932("第3回,2001/5/9,水,9012,-,900000,37500,468700,18700\n"));
    const std::string before = ReadFile(history);
    const auto run = RunProgram({CORVALITH_CLI, "update", history, "--source",
                                 f.server.Url("/files/numbers4_all_full.json")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "最新です: 第3回\n");
    EXPECT_EQ(ReadFile(history), before);
}

TEST(UpdateCli, AFailedDownloadIsOneLineAndExit69) {
    Fixture f;
    ASSERT_TRUE(f.server.ok());
    const std::string history = f.work.Write("h.csv", MakeHistory({"1234"}));
    const std::string before = ReadFile(history);
    const std::string url = f.server.Url("/missing.json");
    const auto run = RunProgram({CORVALITH_CLI, "update", history, "--source", url});
    EXPECT_EQ(run.exitCode, kExitUnavailable);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "最新の結果を取得できません: " + url + ": サーバーの応答が HTTP 404 です\n");
    EXPECT_EQ(ReadFile(history), before);
}

// The size cap and an unreadable body both refuse with 65 (the cap made
// small through the network settings rather than serving 64 MiB).
TEST(UpdateCli, RefusedBodiesExit65) {
    Fixture f;
    f.served.Write("noise.json", "{\"no\": \"draws here\"}");
    ASSERT_TRUE(f.server.ok());
    const std::string history = f.work.Write("h.csv", MakeHistory({"1234"}));
    const std::string before = ReadFile(history);
    struct Case {
        const char* path;
        std::uint64_t maxBytes;
    };
    for (const Case& c : {Case{"/big/200", 100}, Case{"/files/noise.json", 1024}}) {
        SCOPED_TRACE(c.path);
        FetchRequest net;
        net.maxBytes = c.maxBytes;
        std::ostringstream out;
        std::ostringstream err;
        const int code = RunUpdateCommand({"update", history, "--source", f.server.Url(c.path)},
                                          out, err, false, net);
        EXPECT_EQ(code, 65);
        EXPECT_EQ(out.str(), "");
        const std::string said = err.str();
        EXPECT_NE(said.find(f.server.Url(c.path)), std::string::npos) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_EQ(ReadFile(history), before);
    }
}

// The data set's own files as published (skipped without them): a new
// history takes every draw of its CSV from the server.
TEST(UpdateCli, TheDataSetFromTheServer) {
    const std::string api = CORVALITH_RESULTS_API;
    if (!std::filesystem::exists(api + "/numbers4_results.csv")) GTEST_SKIP() << "no data set";
    LocalServer server(api);
    ASSERT_TRUE(server.ok());
    TempDir work;
    const std::string history = work.File("h.csv");
    ASSERT_EQ(RunProgram({CORVALITH_CLI, "init", history}).exitCode, 0);
    const auto run = RunProgram({CORVALITH_CLI, "update", history, "--source",
                                 server.Url("/files/numbers4_results.csv"), "--format", "json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["added"]["count"], report["source_newest"]);
    EXPECT_EQ(report["added"]["first"], 1);
    EXPECT_EQ(report["highest"], report["source_newest"]);
}

}  // namespace
}  // namespace corvalith
