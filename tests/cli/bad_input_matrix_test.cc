// Hostile and broken inputs through the real corvix-cli: each gets its
// message and exit status within bounded time and memory, and the history
// file is never written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/check_command.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::MakeHistory;
using testing::ProgramResult;
using testing::RunProgram;
using testing::TempDir;
using testing::ToCp932;

#if defined(__SANITIZE_ADDRESS__)
constexpr long kPeakLimitKb = 1024 * 1024;  // the sanitizer's shadow memory
#else
constexpr long kPeakLimitKb = 256 * 1024;
#endif

const std::string kReadFailed = "カルヴェンダデータの読み込みに失敗しました。\n";

// The load failure for `path`: the message, then the first problem check finds.
std::string ReadFailedFor(const std::string& path) {
    const std::string problem = FirstLoadProblem(path);
    return kReadFailed + (problem.empty() ? "" : problem + "\n");
}
const std::string kNotFound = "有効なファイルパスを入力してください。\n";

ProgramResult Cli(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {CORVALITH_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    ProgramResult result = RunProgram(argv, 60);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.signal, 0);
    EXPECT_LT(result.peakKb, kPeakLimitKb);
    return result;
}

// The evaluation commands, each with its options before the history.
const std::vector<std::vector<std::string>> kEvaluations = {
    {"backtest"}, {"sweep", "--jobs", "2"}, {"randomness"}};

std::vector<std::string> With(std::vector<std::string> command, const std::string& path,
                              const std::vector<std::string>& more = {}) {
    command.push_back(path);
    command.insert(command.end(), more.begin(), more.end());
    return command;
}

void ExpectReadFailed(const std::string& path) {
    SCOPED_TRACE(path);
    const ProgramResult predict = Cli({"predict", path});
    EXPECT_EQ(predict.exitCode, 3);
    EXPECT_EQ(predict.err, ReadFailedFor(path));
    EXPECT_EQ(predict.out, "");
    const ProgramResult next = Cli({"next-draw", path});
    EXPECT_EQ(next.exitCode, 3);
    EXPECT_EQ(next.err, ReadFailedFor(path));
    for (const auto& command : kEvaluations) {
        const ProgramResult evaluation = Cli(With(command, path, {"--format", "json"}));
        EXPECT_EQ(evaluation.exitCode, 3) << command[0];
        EXPECT_EQ(evaluation.err, ReadFailedFor(path)) << command[0];
        EXPECT_EQ(evaluation.out, "") << command[0];
    }
}

TEST(BadInput, FilesThatAreNotHistories) {
    TempDir dir;
    const std::string draws = "回号,抽せん日,曜日,当せん番号,備考\n第1回,2001/5/7,月,1234,-\n";
    ExpectReadFailed(dir.Write("empty.csv", ""));
    ExpectReadFailed(dir.path());
    ExpectReadFailed("/dev/zero");
    ExpectReadFailed("/dev/urandom");
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ExpectReadFailed(fifo);
    ExpectReadFailed(dir.Write("nul-date.csv",
                               ToCp932("h\n第1回,2001/5") + std::string(1, '\0') + "7,a,1234,b\n"));
    ExpectReadFailed(dir.Write("utf8.csv", draws));
    ExpectReadFailed(dir.Write("utf8-bom.csv", "\xEF\xBB\xBF" + draws));
    ExpectReadFailed(dir.Write("utf16le-bom.csv", testing::ToUtf16(draws, false, true)));
    ExpectReadFailed(dir.Write("utf16le.csv", testing::ToUtf16(draws, false, false)));
    ExpectReadFailed(dir.Write("utf16be-bom.csv", testing::ToUtf16(draws, true, true)));
    ExpectReadFailed(dir.Write("utf16be.csv", testing::ToUtf16(draws, true, false)));
}

TEST(BadInput, InvalidCodePage932Anywhere) {
    TempDir dir;
    const std::string good = MakeHistory({"1234", "5678", "9012"});
    const std::size_t middle = good.find('\n', good.size() / 2) + 1;
    ExpectReadFailed(dir.Write("start.csv", "\xA0" + good));
    ExpectReadFailed(
        dir.Write("middle.csv", good.substr(0, middle) + "\xFD" + good.substr(middle)));
    ExpectReadFailed(dir.Write("end.csv", good + "\x80"));
    ExpectReadFailed(
        dir.Write("cut-lead-byte.csv", good + ToCp932("第4回,2001/5/7,a,1,") + "\x91"));
}

TEST(BadInput, HugeLinesAndFiles) {
    TempDir dir;
    // 100 MB without a line break (sparse, so it costs no disk).
    const std::string huge = dir.File("no-line-break.csv");
    {
        const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, 100 * 1000 * 1000), 0);
        ::close(fd);
    }
    ExpectReadFailed(huge);
    const std::string longLine = MakeHistory({"1234"}) + ToCp932("第2回,2001/5/7,a,1234,") +
                                 std::string(10 * 1000 * 1000, 'x') + "\n";
    ExpectReadFailed(dir.Write("long-line.csv", longLine));
}

TEST(BadInput, OddButValidContent) {
    TempDir dir;
    const ProgramResult headerOnly = Cli({"predict", dir.Write("header.csv", "h\n")});
    EXPECT_EQ(headerOnly.exitCode, 0);
    EXPECT_EQ(headerOnly.out,
              "予測回号: 第1回\n\n予想数字\n\n千の位：\nError\n\n百の位：\nError\n\n"
              "十の位：\nError\n\n一の位：\nError\n");
    EXPECT_EQ(Cli({"next-draw", dir.File("header.csv")}).out, "");

    // NUL bytes in an unexamined field are just characters.
    const std::string nul = ToCp932("h\n第1回,2001/5/7,") + std::string(3, '\0') + ",1234,-\n";
    EXPECT_EQ(Cli({"predict", dir.Write("nul.csv", nul)}).exitCode, 0);
}

TEST(BadInput, DrawNumbersAtTheThirtyTwoBitLimits) {
    TempDir dir;
    const std::string top = dir.Write("top.csv", MakeHistory({"1234"}, 2147483647));
    const ProgramResult predict = Cli({"predict", top, "--interval", "10"});
    EXPECT_EQ(predict.exitCode, 0);
    EXPECT_EQ(predict.out.rfind("予測回号: 第2147483647回\n", 0), 0u);
    EXPECT_EQ(Cli({"next-draw", top}).out, "2147483648\n");
    ExpectReadFailed(dir.Write("beyond.csv", MakeHistory({"1234"}, 2147483647) +
                                                 ToCp932("第2147483648回,2001/5/7,a,1,b\n")));
    const std::string bottom =
        dir.Write("bottom.csv", ToCp932("h\n第-2147483648回,2001/5/7,a,1,b\n"));
    EXPECT_EQ(Cli({"predict", bottom}).exitCode, 0);
    EXPECT_EQ(Cli({"next-draw", bottom}).out, "");  // a sign is not part of the scanned number
    ExpectReadFailed(dir.Write("below.csv", ToCp932("h\n第-2147483649回,2001/5/7,a,1,b\n")));
    EXPECT_EQ(Cli({"predict", top, "--draw", "2147483648"}).exitCode, 64);
}

TEST(BadInput, PathsThatNameNothingUsable) {
    TempDir dir;
    const ProgramResult missing = Cli({"predict", dir.File("missing.csv")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, kNotFound);
    const ProgramResult tooLong = Cli({"predict", "/" + std::string(PATH_MAX + 10, 'a')});
    EXPECT_EQ(tooLong.exitCode, 2);
    EXPECT_EQ(tooLong.err, kNotFound);
    const std::string odd = dir.Write("\xFF\xFE\x80.csv", MakeHistory({"1234", "5678"}));
    EXPECT_EQ(Cli({"predict", odd, "--interval", "10"}).exitCode, 0);
    EXPECT_EQ(Cli({"predict", dir.File("\xFF\xFF.csv")}).exitCode, 2);
}

// Root reads every file, so as root the CLI runs as "nobody" for this case.
ProgramResult CliAsUser(const std::vector<std::string>& args) {
    if (geteuid() != 0) return Cli(args);
    std::vector<std::string> argv = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                     "--clear-groups", CORVALITH_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, 60);
}

TEST(BadInput, UnreadableFileAndTrace) {
    if (geteuid() == 0) {
        const ProgramResult probe =
            RunProgram({"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                        "/usr/bin/test", "-x", CORVALITH_CLI});
        if (probe.exitCode != 0) GTEST_SKIP() << "the CLI cannot be run as nobody from here";
    }
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::string locked = dir.Write("locked.csv", MakeHistory({"1234"}));
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    const ProgramResult predict = CliAsUser({"predict", locked});
    EXPECT_EQ(predict.exitCode, 3);
    EXPECT_EQ(predict.err.rfind(kReadFailed + "ファイルを開けません（", 0), 0u) << predict.err;

    const std::string readable = dir.Write("open.csv", MakeHistory({"1234", "5678"}));
    ASSERT_EQ(chmod(readable.c_str(), 0644), 0);
    const std::string lockedTrace = dir.Write("locked.log", "");
    ASSERT_EQ(chmod(lockedTrace.c_str(), 0), 0);
    const ProgramResult plain = CliAsUser({"predict", readable});
    const ProgramResult traced = CliAsUser({"predict", readable, "--trace", lockedTrace});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(traced.exitCode, 0);
    EXPECT_EQ(traced.out, plain.out);
    EXPECT_EQ(testing::ReadFile(lockedTrace), "");
}

TEST(BadInput, UnwritableTraceChangesOnlyTheTrace) {
    TempDir dir;
    const std::string history = testing::SampleHistoryPath();
    const std::string plain = Cli({"predict", history}).out;
    for (const std::string& trace :
         {dir.path(), std::string("/dev/full"), dir.File("no-such-dir/trace.log")}) {
        SCOPED_TRACE(trace);
        const ProgramResult result = Cli({"predict", history, "--trace", trace});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, plain);
    }
}

TEST(BadInput, AMillionDraws) {
    const std::string history = testing::CachedGeneratedHistory(1000000);
    ASSERT_FALSE(history.empty());
    for (const char* filter : {"lpf", "bpf", "none"}) {
        const ProgramResult result = Cli({"predict", history, "--filter", filter});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out.rfind("予測回号: 第1000001回\n", 0), 0u);
        EXPECT_EQ(result.out.find("Error"), std::string::npos);
    }
}

// Evaluation needs draw numbers that rise strictly; forecasts do not.
TEST(BadInput, EvaluationNeedsAscendingDrawNumbers) {
    TempDir dir;
    const auto line = [](int n) { return "第" + std::to_string(n) + "回,2001/5/7,a,1234,-\n"; };
    struct Case {
        std::vector<int> numbers;
        std::string message;
    };
    const Case cases[] = {
        {{1, 2, 3, 3}, "回号が昇順ではありません: 5 行目が第3回、その前の行が第3回です。\n"},
        {{1, 2, 5, 4, 6}, "回号が昇順ではありません: 5 行目が第4回、その前の行が第5回です。\n"},
        {{7, 1}, "回号が昇順ではありません: 3 行目が第1回、その前の行が第7回です。\n"},
    };
    for (const Case& c : cases) {
        std::string text = "h\n";
        for (const int n : c.numbers) text += line(n);
        const std::string history = dir.Write("unsorted.csv", ToCp932(text));
        for (const auto& command : kEvaluations) {
            for (const char* format : {"text", "json"}) {
                SCOPED_TRACE(command[0] + " " + format + " " + c.message);
                const ProgramResult result = Cli(With(command, history, {"--format", format}));
                EXPECT_EQ(result.exitCode, 65);
                EXPECT_EQ(result.err, c.message);
                EXPECT_EQ(result.out, "");
            }
        }
        EXPECT_EQ(Cli({"predict", history}).exitCode, 0);
        EXPECT_EQ(Cli({"next-draw", history}).exitCode, 0);
    }
}

TEST(BadInput, EvaluationOfAHeaderOnlyHistory) {
    TempDir dir;
    const std::string header = dir.Write("header.csv", "h\n");
    for (const auto& command : kEvaluations) {
        for (const char* format : {"text", "json"}) {
            SCOPED_TRACE(command[0] + " " + format);
            const ProgramResult result = Cli(With(command, header, {"--format", format}));
            EXPECT_EQ(result.exitCode, 65);
            EXPECT_EQ(result.err, "評価する抽せんがありません（履歴はヘッダ行だけです）。\n");
            EXPECT_EQ(result.out, "");
        }
    }
    // One draw is a history: nothing to forecast it from, but counts to test.
    const std::string one = dir.Write("one.csv", MakeHistory({"1234"}));
    const ProgramResult backtest = Cli({"backtest", one});
    EXPECT_EQ(backtest.exitCode, 0) << backtest.err;
    EXPECT_NE(backtest.out.find("評価できる回がないため"), std::string::npos) << backtest.out;
    EXPECT_EQ(Cli({"randomness", one}).exitCode, 0);
    EXPECT_EQ(Cli({"sweep", one, "--format", "json"}).exitCode, 0);
}

TEST(BadInput, EvaluationPathsAndOptions) {
    TempDir dir;
    const std::string sample = testing::SampleHistoryPath();
    for (const auto& command : kEvaluations) {
        SCOPED_TRACE(command[0]);
        const ProgramResult missing = Cli(With(command, dir.File("missing.csv")));
        EXPECT_EQ(missing.exitCode, 2);
        EXPECT_EQ(missing.err, kNotFound);
        const ProgramResult empty = Cli(With(command, ""));
        EXPECT_EQ(empty.exitCode, 2);
        EXPECT_EQ(empty.err, "ファイルパスが入力されていません。\n");
    }
    const std::vector<std::vector<std::string>> bad = {
        {"backtest", sample, "--top", "0"},
        {"backtest", sample, "--top", "11"},
        {"backtest", sample, "--top", "x"},
        {"sweep", sample, "--top", "-1"},
        {"sweep", sample, "--jobs", "0"},
        {"sweep", sample, "--jobs", "-2"},
        {"sweep", sample, "--jobs", "1025"},
        {"sweep", sample, "--jobs", ""},
        {"sweep", sample, "--jobs", "2", "--jobs", "2"},
        {"backtest", sample, "--jobs", "2"},
        {"randomness", sample, "--top", "1"},
        {"backtest", sample, "--format", "csv"},
        {"sweep", sample, "--from", "-1"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args[0] + " " + args[2] + " " + args[3]);
        const ProgramResult result = Cli(args);
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_EQ(result.err.rfind("corvix-cli: ", 0), 0u);
        EXPECT_EQ(result.err.substr(result.err.find('\n')),
                  "\n詳しくは corvix-cli " + args[0] + " --help\n");
        EXPECT_EQ(result.out, "");
    }
}

// Within the matrix's bounds of time and memory. The walk forward is
// limited to the last draws with --from so that the case stays short.
TEST(BadInput, AMillionDrawsEvaluated) {
#if defined(__SANITIZE_ADDRESS__)
    // Unoptimised and instrumented, the sweep's 65,536-point frames take
    // several times the matrix's time bound; the plain build runs the case.
    GTEST_SKIP() << "too slow under AddressSanitizer";
#endif
    const std::string history = testing::CachedGeneratedHistory(1000000);
    ASSERT_FALSE(history.empty());
    const ProgramResult randomness = Cli({"randomness", history, "--format", "json"});
    EXPECT_EQ(randomness.exitCode, 0) << randomness.err;
    EXPECT_NE(randomness.out.find("\"draws\":1000000"), std::string::npos);
    for (const char* filter : {"lpf", "bpf", "none"}) {
        const ProgramResult backtest =
            Cli({"backtest", history, "--filter", filter, "--from", "998001"});
        EXPECT_EQ(backtest.exitCode, 0) << backtest.err;
        EXPECT_NE(backtest.out.find("第998001回から 2000 回"), std::string::npos) << backtest.out;
    }
    const ProgramResult sweep =
        Cli({"sweep", history, "--from", "999801", "--jobs", "2", "--format", "json"});
    EXPECT_EQ(sweep.exitCode, 0) << sweep.err;
    EXPECT_NE(sweep.out.find("\"first_evaluated_draw\":999801"), std::string::npos);
    EXPECT_EQ(sweep.out.find("\"first_evaluated_draw\":null"), std::string::npos);
}

TEST(BadInput, TheHistoryIsNeverWritten) {
    TempDir dir;
    const std::string history = dir.Write("h.csv", testing::ReadFile(testing::SampleHistoryPath()));
    struct stat before {};
    ASSERT_EQ(stat(history.c_str(), &before), 0);
    const std::string bytes = testing::ReadFile(history);
    for (const char* filter : {"lpf", "bpf", "none"}) {
        EXPECT_EQ(Cli({"predict", history, "--filter", filter}).exitCode, 0);
    }
    EXPECT_EQ(Cli({"next-draw", history}).exitCode, 0);
    EXPECT_EQ(Cli({"backtest", history, "--from", "6400"}).exitCode, 0);
    EXPECT_EQ(Cli({"randomness", history}).exitCode, 0);
    struct stat after {};
    ASSERT_EQ(stat(history.c_str(), &after), 0);
    EXPECT_EQ(testing::ReadFile(history), bytes);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace corvalith
