// corvix-cli add, import and init as real processes: the round trips over the
// real history, exit statuses, two writers at once, and SIGKILL at random
// moments of a 1,000,000-line import.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "history/draw_table.h"
#include "history/safe_write.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::ReadFile;
using testing::RunProgram;
using testing::TempDir;
using testing::ToCp932;

const std::string kCli = CORVALITH_CLI;

std::vector<std::string> Entries(const std::string& directory) {
    std::vector<std::string> names;
    DIR* dir = opendir(directory.c_str());
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(HistoryCli, RoundTripsOverTheRealHistory) {
    const std::string real = testing::RealHistoryPath();
    if (real.empty()) GTEST_SKIP() << "the real history is absent";
    const std::string original = ReadFile(real);
    TempDir dir;
    const std::string empty = dir.File("empty.csv");
    ASSERT_EQ(RunProgram({kCli, "init", empty}).exitCode, 0);
    const auto imported = RunProgram({kCli, "import", empty, real, "--format", "json"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out.rfind("{\"format\":1,", 0), 0u) << imported.out;
    EXPECT_EQ(ReadFile(empty), original);

    const std::string copy = dir.Write("copy.csv", original);
    const auto added = RunProgram({kCli, "add", copy, "1234", "--date", "2026/8/24"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(ReadFile(copy), original + ToCp932("第7055回,2026/8/24,月,1234,-\n"));
    // Importing the original again changes nothing.
    const auto again = RunProgram({kCli, "import", copy, real});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(ReadFile(copy), original + ToCp932("第7055回,2026/8/24,月,1234,-\n"));
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"copy.csv", "empty.csv"}));
}

// The published JSON imported keeping the history's values gives the real
// history with payouts; every forecast output on it stays byte for byte.
TEST(HistoryCli, PayoutsInTheHistoryLeaveEveryForecastAsItWas) {
    const std::string real = testing::RealHistoryPath();
    const std::string api = testing::ResultsApiPath();
    if (real.empty() || api.empty()) GTEST_SKIP() << "the shared data is absent";
    TempDir plain;
    TempDir paid;
    const std::string original = plain.Write("h.csv", ReadFile(real));
    const std::string withPayouts = paid.Write("h.csv", ReadFile(real));
    const auto imported =
        RunProgram({kCli, "import", withPayouts, api + "/numbers4_all_full.json", "--keep-mine"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_NE(imported.out.find("払戻金を追加: 7053 回\n履歴の値を優先: 1 回（第1225回）"),
              std::string::npos)
        << imported.out;
    ASSERT_NE(ReadFile(withPayouts), ReadFile(original));
    for (const char* command : {"predict", "backtest", "sweep", "randomness"}) {
        for (const char* format : {"text", "json"}) {
            SCOPED_TRACE(std::string(command) + " " + format);
            const auto before = RunProgram({kCli, command, original, "--format", format});
            const auto after = RunProgram({kCli, command, withPayouts, "--format", format});
            EXPECT_EQ(before.exitCode, 0) << before.err;
            EXPECT_EQ(after.exitCode, before.exitCode);
            EXPECT_EQ(after.out, before.out);
            EXPECT_EQ(after.err, before.err);
        }
    }
}

TEST(HistoryCli, ExitStatusesAndTheDryRun) {
    TempDir dir;
    const std::string history = testing::MakeHistory({"0487", "0091"});
    const std::string path = dir.Write("h.csv", history);
    const std::string readOnly = dir.Write("ro.csv", history);
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    const struct {
        std::vector<std::string> args;
        int exitCode;
    } cases[] = {
        {{"add", path, "12345", "--date", "2026/8/24"}, 65},
        {{"add", path, "1234", "--draw", "9", "--date", "2026/8/24"}, 65},
        {{"add", path, "1234", "--bogus"}, 64},
        {{"add", path, "1234", "--payouts", "1,2,3"}, 64},
        {{"import", path, "-", "--keep-mine", "--bogus"}, 64},
        {{"add", path}, 64},
        {{"add", dir.File("none"), "1234"}, 2},
        {{"add", dir.path(), "1234"}, 3},
        {{"add", readOnly, "1234", "--date", "2026/8/24"}, 77},
        {{"import", path, dir.File("none")}, 66},
        {{"init", path}, 73},
        {{"add", path, "1234", "--date", "2026/8/24", "--dry-run"}, 0},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv = {kCli};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const auto run = RunProgram(argv);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args[0] << ' ' << c.args.back() << run.err;
    }
    const auto dry = RunProgram({kCli, "add", path, "1234", "--date", "2026/8/24", "--dry-run"});
    EXPECT_EQ(dry.out, "第3回,2026/8/24,月,1234,-\n");
    EXPECT_EQ(ReadFile(path), history);
    EXPECT_EQ(ReadFile(readOnly), history);
}

// Two processes change different draws at once: both changes land.
TEST(HistoryCli, TwoWritersAtOnceBothLand) {
    TempDir dir;
    const std::string path =
        dir.Write("h.csv", testing::MakeHistory(std::vector<std::string>(20000, "0000")));
    for (int round = 0; round < 5; ++round) {
        const std::string a = std::to_string(1000 + round);
        const std::string b = std::to_string(2000 + round);
        std::thread first([&] {
            EXPECT_EQ(RunProgram({kCli, "add", path, a, "--draw", "1", "--replace"}).exitCode, 0);
        });
        std::thread second([&] {
            EXPECT_EQ(RunProgram({kCli, "add", path, b, "--draw", "2", "--replace"}).exitCode, 0);
        });
        first.join();
        second.join();
        const std::string text = ReadFile(path);
        EXPECT_NE(text.find(ToCp932("第1回,2001/5/7,月," + a)), std::string::npos);
        EXPECT_NE(text.find(ToCp932("第2回,2001/5/7,月," + b)), std::string::npos);
    }
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"h.csv"});
}

// Whether the file at `path` loads as a draw history.
bool Loads(const std::string& path) {
    DrawTable table;
    return LoadDrawTable(path, table) == 0;
}

TEST(HistoryCli, KilledAtRandomMomentsTheHistoryIsOldOrNew) {
    const std::string source = testing::CachedGeneratedHistory(1'000'000);
    ASSERT_FALSE(source.empty());
    const std::string fresh = ReadFile(source);
    const std::string header = ToCp932("回号,抽せん日,曜日,当せん番号,備考\n");
    TempDir dir;
    const std::string path = dir.Write("h.csv", header);
    // One whole import tells how long the kills may wait.
    const auto whole = RunProgram({kCli, "import", path, source});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    ASSERT_EQ(ReadFile(path), fresh);
    const auto span = std::chrono::duration<double>(whole.seconds * 1.2);

    std::mt19937 random(20260824);
    int killed = 0;
    for (int round = 0; round < 50; ++round) {
        dir.Write("h.csv", header);
        const pid_t child = fork();
        if (child == 0) {
            freopen("/dev/null", "w", stdout);
            execl(kCli.c_str(), kCli.c_str(), "import", path.c_str(), source.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(std::uniform_real_distribution<double>(0, 1)(random) * span);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        killed += WIFSIGNALED(status) ? 1 : 0;
        const std::string now = ReadFile(path);
        ASSERT_TRUE(now == header || now == fresh) << "round " << round << ": " << now.size();
        ASSERT_TRUE(Loads(path));
        for (const std::string& name : Entries(dir.path())) {
            if (name != "h.csv") {
                EXPECT_EQ(name.rfind(TemporaryPrefix("h.csv"), 0), 0u) << name;
            }
        }
    }
    // Some imports may end before their kill when the machine is busy; most
    // must be cut short, or the loop would test nothing.
    EXPECT_GE(killed, 15);
    // The next write removes what the kills left.
    dir.Write("h.csv", header);
    ASSERT_EQ(RunProgram({kCli, "import", path, source}).exitCode, 0);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"h.csv"});
}

}  // namespace
}  // namespace corvalith
