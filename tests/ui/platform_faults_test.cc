// A whole window session (a file chosen, a forecast with each filter, the
// window closed) and what it leaves behind: the history byte for byte with
// its modification time, and nothing in a fresh home. Then the same session
// without any Japanese font, and the real corvix losing its X server. The
// checks that need a fresh environment run this test binary (or corvix)
// again as a child process.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "tests/support/history_files.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/dialog_template.h"
#include "ui/qt_text.h"
#include "ui/result_area.h"

extern char** environ;

namespace corvalith::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Polls `done` every 10 ms until it holds or `limit` has passed.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Every file and directory under `dir`, as paths relative to it, sorted.
std::vector<std::string> Contents(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        names.push_back(fs::relative(entry.path(), dir).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// This environment with `overrides` ("NAME=value") put in.
std::vector<std::string> Environment(const std::vector<std::string>& overrides) {
    std::vector<std::string> env = overrides;
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        bool replaced = false;
        for (const std::string& o : overrides) {
            replaced = replaced || entry.starts_with(o.substr(0, o.find('=') + 1));
        }
        if (!replaced) env.emplace_back(entry);
    }
    return env;
}

// A program running beside the test, its output thrown away; killed at the end of the scope.
class Background {
  public:
    Background(const std::vector<std::string>& argv, const std::vector<std::string>& overrides,
               int fd3 = -1, const std::string& errorLog = "/dev/null") {
        std::vector<std::string> env = Environment(overrides), args = argv;
        std::vector<char*> envp, argp;
        for (std::string& e : env) envp.push_back(e.data());
        for (std::string& a : args) argp.push_back(a.data());
        envp.push_back(nullptr);
        argp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, errorLog.c_str(), O_WRONLY | O_CREAT, 0600);
        if (fd3 >= 0) posix_spawn_file_actions_adddup2(&actions, fd3, 3);
        if (::posix_spawn(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Background() {
        Signal(SIGKILL);
        EndsWithin(10s);
    }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    pid_t pid() const { return pid_; }
    void Signal(int signal) const {
        if (pid_ > 0) ::kill(pid_, signal);
    }
    // The wait status once the process has ended within `limit`, else nothing.
    std::optional<int> EndsWithin(std::chrono::milliseconds limit) {
        int status = 0;
        const bool ended =
            pid_ > 0 && WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit);
        if (!ended) return std::nullopt;
        pid_ = -1;
        return status;
    }

    // True once the program has ended (a zombie not yet waited for counts).
    bool Ended() const {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        std::string line;
        if (pid_ <= 0 || !std::getline(stat, line)) return true;
        const std::size_t close = line.rfind(')');
        return close == std::string::npos || line.substr(close + 2, 1) == "Z";
    }

    // True once the program waits in its event loop: it holds a flock (the
    // single-instance lock, taken before the main dialog) and its main
    // thread is blocked in poll.
    bool WaitsForEvents() const {
        std::ifstream locks("/proc/locks");
        bool locked = false;
        for (std::string line; std::getline(locks, line);) {
            locked = locked || (line.find("FLOCK") != std::string::npos &&
                                line.find(" " + std::to_string(pid_) + " ") != std::string::npos);
        }
        std::ifstream syscall("/proc/" + std::to_string(pid_) + "/syscall");
        long number = -1;
        syscall >> number;
#ifdef SYS_poll
        const bool polling = number == SYS_poll || number == SYS_ppoll;
#else
        const bool polling = number == SYS_ppoll;
#endif
        return locked && polling;
    }

  private:
    pid_t pid_ = -1;
};

std::string SelfPath() { return fs::read_symlink("/proc/self/exe").string(); }

// Runs the tests `filter` of this binary in a child with `overrides` in its
// environment; expects them all to run and pass.
void RunHereInChild(const std::vector<std::string>& overrides, const std::string& filter,
                    int count) {
    std::vector<std::string> argv = {"/usr/bin/env"};
    argv.insert(argv.end(), overrides.begin(), overrides.end());
    argv.insert(argv.end(), {SelfPath(), "--gtest_filter=" + filter});
    const ProgramResult child = RunProgram(argv, 120);
    EXPECT_FALSE(child.timedOut);
    EXPECT_EQ(child.exitCode, 0) << child.out << child.err;
    EXPECT_NE(child.out.find("[  PASSED  ] " + std::to_string(count) + " test"), std::string::npos)
        << child.out;
    EXPECT_EQ(child.out.find("SKIPPED"), std::string::npos) << child.out;
}

// The environment of a session in a fresh, empty home.
std::vector<std::string> FreshHome(const TempDir& home, const TempDir& runtime) {
    return {"HOME=" + home.path(),           "XDG_CONFIG_HOME=" + home.path(),
            "XDG_CACHE_HOME=" + home.path(), "XDG_DATA_HOME=" + home.path(),
            "XDG_STATE_HOME=" + home.path(), "XDG_RUNTIME_DIR=" + runtime.path()};
}

using WindowSession = DialogTest;

TEST_F(WindowSession, ForecastsWithEachFilterAndLeavesTheHistoryAsItWas) {
    const std::string history = dir.Write("history.csv", ReadFile(SampleHistoryPath()));
    ASSERT_GT(fs::file_size(history), 1000u);
    // An old modification time, so that any write shows.
    const timespec old[2] = {{989193600, 0}, {989193600, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, history.c_str(), old, 0), 0);
    const std::string bytes = ReadFile(history);

    ChooseFile(history);
    EXPECT_TRUE(services.boxes.empty());
    const int draw = DrawNumberEdit()->text().toInt();
    ASSERT_GT(draw, 1);
    const std::pair<int, int> filters[] = {
        {id::kFilterLpf, 0}, {id::kFilterBpf, 1}, {id::kFilterNone, 2}};
    for (const auto& [radio, kind] : filters) {
        Click(radio);
        ASSERT_EQ(Predict().size(), 1u);  // the start notice only
        EXPECT_EQ(Result()->Text(),
                  QString::fromStdU16String(Expected(history, draw, 15, kind).text));
        EXPECT_TRUE(Result()->Text().startsWith(ToQString(u"予測回号: 第")));
    }
    dialog->close();  // the close box
    EXPECT_FALSE(dialog->isVisible());

    struct stat after {};
    ASSERT_EQ(::stat(history.c_str(), &after), 0);
    EXPECT_EQ(ReadFile(history), bytes);
    EXPECT_EQ(after.st_mtim.tv_sec, old[1].tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, old[1].tv_nsec);
    EXPECT_EQ(Contents(dir.path()), std::vector<std::string>{"history.csv"});
}

TEST(NothingWritten, TheWindowSessionAndTheFileDialogLeaveAFreshHomeEmpty) {
    TempDir home, runtime;
    RunHereInChild(FreshHome(home, runtime),
                   "WindowSession.*:QtServices.OpenFileDialogReturnsAChosenNameWithoutADot", 2);
    EXPECT_EQ(Contents(home.path()), std::vector<std::string>{});
    EXPECT_EQ(Contents(runtime.path()), std::vector<std::string>{});
}

// Ended by a signal, the program leaves its socket too; the next copy that
// takes the lock removes it before it listens.
TEST(NothingWritten, TheRealProgramMakesOnlyItsLockAndItsSocket) {
    TempDir home, runtime;
    Background corvix({CORVIX_BIN}, FreshHome(home, runtime));
    ASSERT_TRUE(WaitFor([&] { return corvix.WaitsForEvents(); }, 20s));
    corvix.Signal(SIGTERM);
    ASSERT_TRUE(corvix.EndsWithin(10s).has_value());
    EXPECT_EQ(Contents(home.path()), std::vector<std::string>{});
    EXPECT_EQ(Contents(runtime.path()),
              (std::vector<std::string>{"PendulaAppMutex.lock", "PendulaAppMutex.sock"}));
}

TEST(NoJapaneseFont, TheWindowStartsForecastsAndEnds) {
    const std::string latin = "/usr/share/fonts/truetype/dejavu";
    if (!fs::is_directory(latin) || !fs::exists("/usr/bin/fc-list"))
        GTEST_SKIP() << "needs DejaVu and fc-list";
    TempDir fonts;
    const std::string config = fonts.Write(
        "fonts.conf",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
        "<fontconfig><dir>" +
            latin + "</dir><cachedir>" + fonts.File("cache") + "</cachedir></fontconfig>\n");
    const std::string env = "FONTCONFIG_FILE=" + ShellQuote(config) + " ";
    // The configuration offers fonts, but none with Japanese.
    EXPECT_NE(RunCommand(env + "/usr/bin/fc-list").out, "");
    EXPECT_EQ(RunCommand(env + "/usr/bin/fc-list :lang=ja").out, "");

    RunHereInChild({"FONTCONFIG_FILE=" + config}, "WindowSession.*", 1);
    TempDir runtime;
    Background corvix({CORVIX_BIN},
                      {"FONTCONFIG_FILE=" + config, "XDG_RUNTIME_DIR=" + runtime.path()});
    EXPECT_TRUE(WaitFor([&] { return corvix.WaitsForEvents(); }, 20s));
}

TEST(LostDisplay, CorvixEndsSoonAfterItsXServerIsKilled) {
    if (!fs::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "no Xvfb";
    // Xvfb picks a free display and writes its number to fd 3 once it is ready.
    // It listens on the abstract socket only (which xcb tries first): its
    // socket file would need /tmp/.X11-unix, a directory it never removes.
    int ready[2];
    ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
    Background xserver(
        {"/usr/bin/Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-nolisten", "unix"}, {},
        ready[1]);
    ::close(ready[1]);
    // It writes the number and the line feed separately; closing the pipe
    // before the line feed would make it fail.
    std::string number;
    char c = 0;
    pollfd readable{ready[0], POLLIN, 0};
    while (::poll(&readable, 1, 20000) == 1 && ::read(ready[0], &c, 1) == 1 && c != '\n') {
        number.push_back(c);
    }
    ::close(ready[0]);
    ASSERT_EQ(c, '\n') << "Xvfb did not start";
    const std::string display = ":" + number;

    TempDir runtime;
    const std::string errorLog = runtime.File("corvix.err");
    Background corvix(
        {CORVIX_BIN},
        {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime.path()}, -1,
        errorLog);
    WaitFor([&] { return corvix.WaitsForEvents() || corvix.Ended(); }, 60s);
    const bool running = corvix.WaitsForEvents();
    ASSERT_TRUE(running) << "corvix did not reach its event loop on " << display
                         << "; it wrote: " << ReadFile(errorLog);
    xserver.Signal(SIGTERM);
    const std::optional<int> status = corvix.EndsWithin(5s);
    ASSERT_TRUE(status.has_value()) << "corvix still runs without its display";
    // It ends by itself, not by a signal.
    EXPECT_TRUE(WIFEXITED(*status)) << "wait status " << *status;
    RecordProperty("exitCodeWithoutDisplay", WEXITSTATUS(*status));
}

}  // namespace
}  // namespace corvalith::testing
