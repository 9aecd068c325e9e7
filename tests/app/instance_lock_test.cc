// The single-instance lock: where it lives, that a second holder is refused
// and that releasing frees it; and two real processes, the first a running
// corvix, the second refused until the first is killed with SIGKILL; a
// refused copy that, after its box, brings the running one to the front; the
// same guard through the fallback place when the runtime directory is
// missing or cannot be written; and, as root, that another user's file or a
// symlink at the fallback name never blocks the start. The fallback places
// go into scratch directories, so nothing is left in /tmp.
#include "app/instance_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "app/raise_request.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace corvalith::testing {
namespace {

// Sets XDG_RUNTIME_DIR for one scope.
class RuntimeDir {
  public:
    explicit RuntimeDir(const char* value) {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_ = old;
        if (value) {
            ::setenv("XDG_RUNTIME_DIR", value, 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }
    ~RuntimeDir() {
        if (old_) {
            ::setenv("XDG_RUNTIME_DIR", old_->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }
    RuntimeDir(const RuntimeDir&) = delete;
    RuntimeDir& operator=(const RuntimeDir&) = delete;

  private:
    std::optional<std::string> old_;
};

TEST(InstanceLockPath, LivesInTheRuntimeDirectoryOrFallsBackToTmp) {
    TempDir dir;
    {
        RuntimeDir runtime(dir.path().c_str());
        EXPECT_EQ(InstanceLockPath("PendulaAppMutex"), dir.path() + "/PendulaAppMutex.lock");
    }
    const std::string fallback = "/tmp/PendulaAppMutex-" + std::to_string(::getuid()) + ".lock";
    {
        RuntimeDir runtime(nullptr);
        EXPECT_EQ(InstanceLockPath("PendulaAppMutex"), fallback);
    }
    {
        RuntimeDir runtime("relative/dir");  // not an absolute path: ignored
        EXPECT_EQ(InstanceLockPath("PendulaAppMutex"), fallback);
    }
    {
        RuntimeDir runtime((dir.path() + "/missing").c_str());
        EXPECT_EQ(InstanceLockPath("PendulaAppMutex"), fallback);
    }
}

TEST(RaiseSocketPath, SitsBesideTheLockFile) {
    EXPECT_EQ(RaiseSocketPath("/run/user/1000/PendulaAppMutex.lock"),
              "/run/user/1000/PendulaAppMutex.sock");
    EXPECT_EQ(RaiseSocketPath("/tmp/name"), "/tmp/name.sock");
}

TEST(InstanceLock, ASecondHolderIsRefusedUntilTheFirstReleases) {
    TempDir dir;
    RuntimeDir runtime(dir.path().c_str());
    InstanceLock first("Probe");
    ASSERT_EQ(first.state(), LockState::Held);
    struct stat info {};
    ASSERT_EQ(::stat((dir.path() + "/Probe.lock").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    {
        InstanceLock second("Probe");
        EXPECT_EQ(second.state(), LockState::HeldElsewhere);
        InstanceLock other("OtherName");
        EXPECT_EQ(other.state(), LockState::Held);
    }
    first.Release();
    first.Release();  // twice is harmless
    InstanceLock third("Probe");
    EXPECT_EQ(third.state(), LockState::Held);
}

// A scratch directory that works like /tmp: anyone may create files in it,
// only the owner of a file may remove it.
class SharedTempDir : public TempDir {
  public:
    SharedTempDir() { ::chmod(path().c_str(), 01777); }
};

TEST(InstanceLock, ASymlinkInPlaceOfTheLockIsNotFollowed) {
    TempDir dir;
    SharedTempDir temp;
    RuntimeDir runtime(dir.path().c_str());
    const std::string target = dir.Write("target", "keep");
    ASSERT_EQ(::symlink(target.c_str(), (dir.path() + "/Probe.lock").c_str()), 0);
    // The runtime place is passed over; the lock lives in the fallback place.
    InstanceLock lock("Probe", temp.path());
    EXPECT_EQ(lock.state(), LockState::Held);
    EXPECT_EQ(lock.path(), temp.path() + "/Probe-" + std::to_string(::geteuid()) + ".lock");
    EXPECT_EQ(ReadFile(target), "keep");
    struct stat info {};
    ASSERT_EQ(::lstat((dir.path() + "/Probe.lock").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(InstanceLock, WithoutTheRuntimeDirectoryTheFallbackFileCarriesTheUserId) {
    SharedTempDir temp;
    RuntimeDir runtime(nullptr);
    const std::string own = temp.path() + "/Probe-" + std::to_string(::geteuid()) + ".lock";
    InstanceLock first("Probe", temp.path());
    ASSERT_EQ(first.state(), LockState::Held);
    EXPECT_EQ(first.path(), own);
    struct stat info {};
    ASSERT_EQ(::lstat(own.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_uid, ::geteuid());
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // The own file still means one copy.
    InstanceLock second("Probe", temp.path());
    EXPECT_EQ(second.state(), LockState::HeldElsewhere);
}

TEST(InstanceLock, ASymlinkAtTheFallbackNameIsPassedOverForAPrivateDirectory) {
    TempDir elsewhere;
    SharedTempDir temp;
    RuntimeDir runtime(nullptr);
    const std::string target = elsewhere.Write("target", "keep");
    const std::string name = temp.path() + "/Probe-" + std::to_string(::geteuid()) + ".lock";
    ASSERT_EQ(::symlink(target.c_str(), name.c_str()), 0);
    InstanceLock first("Probe", temp.path());
    ASSERT_EQ(first.state(), LockState::Held);
    const std::string privateDir = temp.path() + "/Probe-" + std::to_string(::geteuid()) + ".d";
    EXPECT_EQ(first.path(), privateDir + "/Probe.lock");
    struct stat info {};
    ASSERT_EQ(::lstat(privateDir.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(ReadFile(target), "keep");
    // The private directory guards as the file would.
    InstanceLock second("Probe", temp.path());
    EXPECT_EQ(second.state(), LockState::HeldElsewhere);
}

// A child process with extra environment variables; killed at the end of the scope.
// `qtTempDir`, when given, is its TMPDIR; `outFile`, when given, its standard output.
class Child {
  public:
    Child(const std::string& program, const std::string& runtimeDir,
          std::vector<std::string> args = {}, const std::string& qtTempDir = "",
          const std::string& outFile = "") {
        std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtimeDir};
        if (!qtTempDir.empty()) env.push_back("TMPDIR=" + qtTempDir);
        for (char** e = environ; *e; ++e) {
            const std::string_view entry(*e);
            if (!entry.starts_with("QT_QPA_PLATFORM=") && !entry.starts_with("XDG_RUNTIME_DIR=") &&
                !(entry.starts_with("TMPDIR=") && !qtTempDir.empty())) {
                env.emplace_back(entry);
            }
        }
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (!outFile.empty()) {
            ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(),
                                               O_WRONLY | O_CREAT | O_TRUNC, 0600);
        }
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() { Kill(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    void Kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

  private:
    pid_t pid_ = -1;
};

// True when process `pid` holds a flock, as /proc/locks lists it (looking
// does not take the lock, so it cannot disturb the holder).
bool HoldsFlock(pid_t pid) {
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, holder;
        fields >> number >> kind >> mode >> access >> holder;
        if (kind == "FLOCK" && holder == std::to_string(pid)) return true;
    }
    return false;
}

// Runs the probe with XDG_RUNTIME_DIR set and the lock's fallback places in
// `lockTempDir`; `prefix` goes before the command (for example a change of
// user); `qtTempDir`, when given, is its TMPDIR.
std::string RunProbe(const std::string& runtimeDir, const std::string& lockTempDir,
                     const std::string& prefix = "", const std::string& qtTempDir = "") {
    const std::string temp = qtTempDir.empty() ? "" : "TMPDIR=" + ShellQuote(qtTempDir) + " ";
    const CommandResult result = RunCommand(
        prefix + "env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=" + ShellQuote(runtimeDir) + " " +
        temp + ShellQuote(INSTANCE_PROBE_BIN) + " " + ShellQuote(lockTempDir));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

// A runtime directory that stays missing: Qt makes a missing one at start-up,
// but not one whose parent is missing too. Without it Qt makes its own
// runtime directory under TMPDIR, so the probes run with `scratch` as TMPDIR
// and that directory goes with the test.
std::string MissingRuntimeDir(const TempDir& scratch) {
    return scratch.File("no-such-parent/no-such-dir");
}

// Waits (bounded) until `corvix` (or another holder) holds its lock.
::testing::AssertionResult TakesTheLock(const Child& corvix) {
    if (corvix.pid() <= 0) return ::testing::AssertionFailure() << "it did not start";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!HoldsFlock(corvix.pid()) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (HoldsFlock(corvix.pid())) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "corvix did not take the lock";
}

const char kRefused[] =
    "box|no-owner|このアプリケーションは既に起動しています。|二重起動防止|warning\n";

TEST(SecondInstance, IsRefusedWhileCorvixRunsAndStartsAfterItWasKilled) {
    TempDir runtime;
    TempDir lockTemp;
    Child corvix(CORVIX_BIN, runtime.path());
    ASSERT_TRUE(TakesTheLock(corvix));

    // The second copy: exactly one warning box without owner, and no window.
    EXPECT_EQ(RunProbe(runtime.path(), lockTemp.path()), kRefused);

    // Killed, the first copy leaves no lock behind.
    corvix.Kill();
    const std::string started = RunProbe(runtime.path(), lockTemp.path());
    EXPECT_EQ(started, "window|Corvalith\n");
}

// Waits (bounded) until the file at `path` holds `expected`.
::testing::AssertionResult ComesToHold(const std::string& path, const std::string& expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ReadFile(path) != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (ReadFile(path) == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "it holds \"" << ReadFile(path) << "\"";
}

TEST(SecondInstance, ShowsItsBoxThenBringsTheRunningCopyToTheFront) {
    TempDir runtime;
    TempDir lockTemp;
    TempDir scratch;
    const std::string out = scratch.File("first.out");
    Child first(INSTANCE_PROBE_BIN, runtime.path(), {lockTemp.path(), "hold"}, "", out);
    ASSERT_TRUE(ComesToHold(out, "window|Corvalith\n"));
    EXPECT_EQ(RunProbe(runtime.path(), lockTemp.path()), kRefused);
    EXPECT_TRUE(ComesToHold(out, "window|Corvalith\nraised\n"));
}

TEST(SecondInstance, WithoutTheRuntimeDirectoryTheFallbackLockStillGuards) {
    TempDir scratch;
    SharedTempDir lockTemp;
    const std::string missing = MissingRuntimeDir(scratch);
    const std::string qtTemp = scratch.path();
    EXPECT_EQ(RunProbe(missing, lockTemp.path(), "", qtTemp), "window|Corvalith\n");  // no box
    struct stat info {};
    ASSERT_EQ(
        ::lstat(
            (lockTemp.path() + "/PendulaAppMutex-" + std::to_string(::geteuid()) + ".lock").c_str(),
            &info),
        0);
    Child first(INSTANCE_PROBE_BIN, missing, {lockTemp.path(), "hold"}, qtTemp);
    ASSERT_TRUE(TakesTheLock(first));
    EXPECT_EQ(RunProbe(missing, lockTemp.path(), "", qtTemp), kRefused);
    first.Kill();
    EXPECT_EQ(RunProbe(missing, lockTemp.path(), "", qtTemp), "window|Corvalith\n");
}

// Root writes into any directory, so as root a probe runs as "nobody"; the
// prefix that does it, or "" when not root; nullopt when it cannot be done.
constexpr uid_t kNobody = 65534;
const char kAsNobody[] = "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups ";

std::optional<std::string> AsNobodyIfRoot() {
    if (::geteuid() != 0) return std::string();
    if (RunCommand(std::string(kAsNobody) + "/usr/bin/test -x " + ShellQuote(INSTANCE_PROBE_BIN))
            .exitCode != 0)
        return std::nullopt;
    return std::string(kAsNobody);
}

TEST(SecondInstance, AReadOnlyRuntimeDirectoryFallsBackWithoutABox) {
    const std::optional<std::string> asUser = AsNobodyIfRoot();
    if (!asUser) GTEST_SKIP() << "the probe cannot be run as nobody from here";
    TempDir runtime;
    SharedTempDir lockTemp;
    ASSERT_EQ(::chmod(runtime.path().c_str(), 0555), 0);
    // Qt makes its own runtime directory under the temporary directory when
    // the given one belongs to someone else; that one goes with the test.
    TempDir temporary;
    ASSERT_EQ(::chmod(temporary.path().c_str(), 0777), 0);
    const std::string prefix = *asUser + "env TMPDIR=" + ShellQuote(temporary.path()) + " ";
    EXPECT_EQ(RunProbe(runtime.path(), lockTemp.path(), prefix), "window|Corvalith\n");
    struct stat info {};
    EXPECT_NE(::stat((runtime.path() + "/PendulaAppMutex.lock").c_str(), &info), 0);
    // The lock went to the fallback place, under the probe's own user id.
    const uid_t user = asUser->empty() ? ::geteuid() : kNobody;
    const std::string fallback =
        lockTemp.path() + "/PendulaAppMutex-" + std::to_string(user) + ".lock";
    ASSERT_EQ(::lstat(fallback.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, user);
    ASSERT_EQ(::chmod(runtime.path().c_str(), 0700), 0);
}

// Makes `path` an empty file of nobody that anyone may open (mode 0666).
void MakeNobodysFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::fchmod(fd, 0666), 0);
    ASSERT_EQ(::fchown(fd, kNobody, kNobody), 0);
    ::close(fd);
}

TEST(SecondInstance, AnotherUsersLockedFileAtTheFallbackNameNeverBlocksTheStart) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
    if (!AsNobodyIfRoot()) GTEST_SKIP() << "nothing can be run as nobody from here";
    TempDir scratch;
    SharedTempDir lockTemp;
    const std::string missing = MissingRuntimeDir(scratch);
    RuntimeDir runtime(missing.c_str());
    const std::string taken = lockTemp.path() + "/PendulaAppMutex-0.lock";
    MakeNobodysFile(taken);
    // Nobody holds a flock on it until killed: one process (no child that
    // would outlive it), the one the test started.
    Child holder("/usr/bin/setpriv", missing,
                 {"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3", "-c",
                  "import fcntl, os, sys, time\n"
                  "fd = os.open(sys.argv[1], os.O_RDWR)\n"
                  "fcntl.flock(fd, fcntl.LOCK_EX)\n"
                  "time.sleep(120)\n",
                  taken});
    ASSERT_TRUE(TakesTheLock(holder));

    // The window opens, no box; the lock is in this user's private directory.
    EXPECT_EQ(RunProbe(missing, lockTemp.path(), "", scratch.path()), "window|Corvalith\n");
    InstanceLock lock("PendulaAppMutex", lockTemp.path());
    EXPECT_EQ(lock.state(), LockState::Held);
    EXPECT_EQ(lock.path(), lockTemp.path() + "/PendulaAppMutex-0.d/PendulaAppMutex.lock");
    // And from there it still keeps a second copy out.
    EXPECT_EQ(RunProbe(missing, lockTemp.path(), "", scratch.path()), kRefused);
    lock.Release();

    // Nobody's file was never changed.
    struct stat info {};
    ASSERT_EQ(::lstat(taken.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_size, 0);
    EXPECT_TRUE(HoldsFlock(holder.pid()));
}

TEST(SecondInstance, WithBothFallbackNamesTakenByAnotherUserItRunsUnguarded) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
    TempDir scratch;
    SharedTempDir lockTemp;
    const std::string missing = MissingRuntimeDir(scratch);
    RuntimeDir runtime(missing.c_str());
    MakeNobodysFile(lockTemp.path() + "/PendulaAppMutex-0.lock");
    const std::string dir = lockTemp.path() + "/PendulaAppMutex-0.d";
    ASSERT_EQ(::mkdir(dir.c_str(), 0777), 0);
    ASSERT_EQ(::chown(dir.c_str(), kNobody, kNobody), 0);
    MakeNobodysFile(dir + "/PendulaAppMutex.lock");

    InstanceLock lock("PendulaAppMutex", lockTemp.path());
    EXPECT_EQ(lock.state(), LockState::Unavailable);
    EXPECT_TRUE(lock.path().empty());
    // The window opens without a box, twice over: nothing to guard with.
    EXPECT_EQ(RunProbe(missing, lockTemp.path(), "", scratch.path()), "window|Corvalith\n");
}

}  // namespace
}  // namespace corvalith::testing
