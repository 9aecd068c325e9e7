// corvix-cli add, import and init as real processes: the round trips over the
// real history, exit statuses, two writers at once, and SIGKILL at random
// moments of a 1,000,000-line import.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
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

// While another process holds the history's lock, each writer says at once
// that it waits, waits at most --wait seconds and exits 75 naming the cause.
TEST(HistoryCli, ALockedHistoryIsWaitedForABoundedTimeAndSaidSo) {
    TempDir dir;
    const std::string original =
        ToCp932("回号,抽せん日,曜日,当せん番号,備考\n第1回,2026/8/19,水,1111,-\n");
    const std::string path = dir.Write("h.csv", original);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0 || flock(fd, LOCK_EX) != 0) _exit(1);
        (void)!write(ready[1], "x", 1);
        for (;;) pause();
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    const std::string source =
        dir.Write("new.csv", ToCp932("回号,抽せん日,当せん番号\n第2回,2026/8/20,2222\n"));
    const std::string waiting = "他のプログラムが履歴を書き込み中です。待っています…\n";
    const struct {
        std::vector<std::string> argv;
        int exitCode;
        double waits;  // seconds
    } cases[] = {
        {{kCli, "add", path, "1234", "--wait", "1"}, 75, 1},
        {{kCli, "import", path, "-", "--dry-run", "--wait=0.5"}, 75, 0.5},
        {{kCli, "add", path, "1234", "--wait", "0"}, 75, 0},
        {{kCli, "update", path, "--source", source, "--wait", "0.5"}, 75, 0.5},
        {{kCli, "update", path, "--wait", "soon"}, 64, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argv[1] + " " + c.argv.back());
        const auto run = RunProgram(c.argv, 30);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_GE(run.seconds, c.waits);
        EXPECT_LT(run.seconds, c.waits + 3);
        if (c.exitCode == 75) {
            EXPECT_EQ(
                run.err.rfind(c.waits > 0 ? waiting : "他のプログラムが履歴を書き込み中のため", 0),
                0u)
                << run.err;
            EXPECT_NE(run.err.find("書き込み中のため"), std::string::npos);
        } else {
            EXPECT_EQ(run.err,
                      "corvix-cli: --wait must be a number of seconds from 0 to 86400: soon\n"
                      "詳しくは corvix-cli update --help\n");
        }
    }
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(ReadFile(path), original);
    // A hard-linked history: written, and the other name is said to keep the old content.
    ASSERT_EQ(link(path.c_str(), dir.File("other.csv").c_str()), 0);
    const auto added = RunProgram({kCli, "add", path, "1234", "--date", "2026/8/24"});
    EXPECT_EQ(added.exitCode, 0);
    EXPECT_NE(added.err.find("ハードリンク"), std::string::npos) << added.err;
    EXPECT_EQ(ReadFile(dir.File("other.csv")), original);
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
