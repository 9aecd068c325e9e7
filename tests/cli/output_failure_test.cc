// Failures corvix-cli must say in one line: its output not written (the real
// binary with stdout on a full device or a closed pipe, for every command)
// and memory running out at any allocation of a run (RunCli in this process).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/output_stream.h"
#include "tests/support/allocation_failure.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::ShellQuote;

constexpr char kFullDisk[] = "標準出力に書き込めませんでした: ディスクに空きがありません。\n";
constexpr char kClosedPipe[] = "標準出力に書き込めませんでした: 出力先のパイプが閉じられました。\n";
constexpr char kOutOfMemory[] = "メモリが不足しているため処理できませんでした。\n";

std::string SmallHistory(testing::TempDir& dir) {
    std::vector<std::string> results;
    for (int i = 0; i < 80; ++i) results.push_back(std::to_string((i * 7919 + 13) % 10000));
    return dir.Write("h.csv", testing::MakeHistory(results, 101));
}

// Every command and both informational options, with the given history.
std::vector<std::vector<std::string>> EveryCommand(const std::string& history) {
    return {
        {"--help"},
        {"--version"},
        {"predict", history, "--interval", "10"},
        {"predict", history, "--interval", "10", "--format", "json"},
        {"next-draw", history},
        {"backtest", history, "--interval", "10"},
        {"backtest", history, "--interval", "10", "--format", "json"},
        {"sweep", history, "--jobs", "1"},
        {"sweep", history, "--jobs", "2", "--format", "json"},
        {"randomness", history},
        {"randomness", history, "--format", "json"},
    };
}

std::string Joined(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args) line += " " + ShellQuote(a);
    return line;
}

TEST(OutputFailure, AFullDiskIsOneLineAndExit74ForEveryCommand) {
    testing::TempDir dir;
    for (const auto& args : EveryCommand(SmallHistory(dir))) {
        SCOPED_TRACE(Joined(args));
        // The inner redirection is the program's; the outer one catches stderr.
        const auto result =
            testing::RunCommand("(" + ShellQuote(CORVALITH_CLI) + Joined(args) + " >/dev/full)");
        EXPECT_EQ(result.exitCode, 74);
        EXPECT_EQ(result.err, kFullDisk);
        // The same command with somewhere to write succeeds.
        EXPECT_EQ(testing::RunCommand(ShellQuote(CORVALITH_CLI) + Joined(args)).exitCode, 0);
    }
}

struct Ended {
    int exitCode = -1;  // when it exited
    int signal = 0;     // when a signal ended it
    std::string err;
};

// Runs the binary with stdout on a pipe whose reader is already gone.
Ended IntoClosedPipe(const std::vector<std::string>& args, bool ignoreSigpipe) {
    testing::TempDir dir;
    const std::string errFile = dir.File("stderr");
    int fds[2];
    if (pipe(fds) != 0) return {};
    close(fds[0]);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGPIPE, ignoreSigpipe ? SIG_IGN : SIG_DFL);  // kept across exec
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fds[1], 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(CORVALITH_CLI)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    int status = 0;
    waitpid(child, &status, 0);
    Ended ended;
    if (WIFEXITED(status)) ended.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) ended.signal = WTERMSIG(status);
    ended.err = testing::ReadFile(errFile);
    return ended;
}

TEST(OutputFailure, AClosedPipeEndsBySigpipeOrIsSaidWhenSigpipeIsIgnored) {
    testing::TempDir dir;
    const std::string history = SmallHistory(dir);
    for (const auto& args : {std::vector<std::string>{"--help"},
                             std::vector<std::string>{"predict", history, "--interval", "10"}}) {
        SCOPED_TRACE(Joined(args));
        const Ended quiet = IntoClosedPipe(args, false);
        EXPECT_EQ(quiet.signal, SIGPIPE);
        EXPECT_EQ(quiet.err, "");
        const Ended said = IntoClosedPipe(args, true);
        EXPECT_EQ(said.exitCode, 74);
        EXPECT_EQ(said.err, kClosedPipe);
    }
}

TEST(OutputFailure, MemoryRunningOutAnywhereInARunIsTheMemoryLine) {
    testing::TempDir dir;
    const std::string history = SmallHistory(dir);
    const std::string outFile = dir.File("out");
    for (auto args : EveryCommand(history)) {
        // nlohmann::json's destructor allocates (a stack to free nested
        // values without recursion), and a failure there ends the program:
        // the JSON reports cannot be held to this.
        if (args.back() == "json") continue;
        if (args[0] == "sweep") args[3] = "1";  // the injected thread is the one that runs it
        SCOPED_TRACE(Joined(args));
        std::size_t allocations = 0;  // of the last run
        const auto run = [&](std::size_t failAt, std::string& err) {
            const int fd = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            FdOutput output(fd);
            std::ostream out(&output);
            std::ostringstream errors;
            int status = 0;
            {
                const std::size_t before = testing::AllocationsSoFar();
                const testing::FailingAllocation failure(failAt);
                status = RunCli(args, out, errors);
                allocations = testing::AllocationsSoFar() - before;
            }
            close(fd);
            err = errors.str();
            return status;
        };
        std::string err;
        ASSERT_EQ(run(0, err), kExitOk) << err;  // what is made once (the usage) is made
        ASSERT_EQ(run(0, err), kExitOk) << err;
        const std::size_t total = allocations;
        const std::string normal = testing::ReadFile(outFile);
        // At most about 200 runs a command, spread over all its allocations.
        const std::size_t step = total / 200 + 1;
        std::size_t memory = 0;
        for (std::size_t n = 1; n <= total; n += step) {
            const int status = run(n, err);
            if (status == kExitOk) {
                // Absorbed: only a forecast may say "Error" at a position.
                EXPECT_EQ(err, "") << n;
                if (args[0] != "predict") {
                    EXPECT_EQ(testing::ReadFile(outFile), normal) << n;
                }
                continue;
            }
            ++memory;
            ASSERT_EQ(status, kExitInternal) << n << ": " << err;
            ASSERT_EQ(err, kOutOfMemory) << n;
            ASSERT_EQ(testing::ReadFile(outFile), "") << n;
        }
        EXPECT_TRUE(total == 0 || memory > 0);
    }
}

}  // namespace
}  // namespace corvalith
