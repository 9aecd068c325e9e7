// The single-instance lock: where it lives, that a second holder is refused
// and that releasing frees it; and two real processes, the first a running
// corvix, the second refused until the first is killed with SIGKILL; the
// same guard through the /tmp fallback when the runtime directory is missing,
// and an unguarded start without any box when it cannot be written.
#include "app/instance_lock.h"

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

TEST(InstanceLock, ASymlinkInPlaceOfTheLockIsNotFollowed) {
    TempDir dir;
    RuntimeDir runtime(dir.path().c_str());
    const std::string target = dir.Write("target", "keep");
    ASSERT_EQ(::symlink(target.c_str(), (dir.path() + "/Probe.lock").c_str()), 0);
    InstanceLock lock("Probe");
    EXPECT_EQ(lock.state(), LockState::Unavailable);
    EXPECT_EQ(ReadFile(target), "keep");
}

// A child process with extra environment variables; killed at the end of the scope.
class Child {
  public:
    Child(const std::string& program, const std::string& runtimeDir) {
        std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtimeDir};
        for (char** e = environ; *e; ++e) {
            const std::string_view entry(*e);
            if (!entry.starts_with("QT_QPA_PLATFORM=") && !entry.starts_with("XDG_RUNTIME_DIR=")) {
                env.emplace_back(entry);
            }
        }
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string arg0 = program;
        char* argv[] = {arg0.data(), nullptr};
        if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
            pid_ = -1;
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

// Runs the probe with XDG_RUNTIME_DIR set; `prefix` goes before the command
// (for example a change of user).
std::string RunProbe(const std::string& runtimeDir, const std::string& prefix = "") {
    const CommandResult result = RunCommand(
        prefix + "env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=" + ShellQuote(runtimeDir) + " " +
        ShellQuote(INSTANCE_PROBE_BIN));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

// Waits (bounded) until `corvix` holds its lock.
::testing::AssertionResult TakesTheLock(const Child& corvix) {
    if (corvix.pid() <= 0) return ::testing::AssertionFailure() << "corvix did not start";
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
    Child corvix(CORVIX_BIN, runtime.path());
    ASSERT_TRUE(TakesTheLock(corvix));

    // The second copy: exactly one warning box without owner, and no window.
    EXPECT_EQ(RunProbe(runtime.path()), kRefused);

    // Killed, the first copy leaves no lock behind.
    corvix.Kill();
    const std::string started = RunProbe(runtime.path());
    EXPECT_EQ(started, "window|Corvalith\n");
}

TEST(SecondInstance, WithoutTheRuntimeDirectoryTheLockInTmpStillGuards) {
    TempDir scratch;
    const std::string missing = scratch.File("no-such-dir");
    EXPECT_EQ(RunProbe(missing), "window|Corvalith\n");  // no box
    Child corvix(CORVIX_BIN, missing);
    ASSERT_TRUE(TakesTheLock(corvix));
    EXPECT_EQ(RunProbe(missing), kRefused);
    corvix.Kill();
    EXPECT_EQ(RunProbe(missing), "window|Corvalith\n");
}

TEST(SecondInstance, AReadOnlyRuntimeDirectoryRunsUnguardedWithoutABox) {
    // Root writes into any directory, so as root the probe runs as "nobody".
    std::string asUser;
    if (::geteuid() == 0) {
        asUser = "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups ";
        if (RunCommand(asUser + "/usr/bin/test -x " + ShellQuote(INSTANCE_PROBE_BIN)).exitCode != 0)
            GTEST_SKIP() << "the probe cannot be run as nobody from here";
    }
    TempDir runtime;
    ASSERT_EQ(::chmod(runtime.path().c_str(), 0555), 0);
    // Qt makes its own runtime directory under the temporary directory when
    // the given one belongs to someone else; that one goes with the test.
    TempDir temporary;
    ASSERT_EQ(::chmod(temporary.path().c_str(), 0777), 0);
    asUser += "env TMPDIR=" + ShellQuote(temporary.path()) + " ";
    EXPECT_EQ(RunProbe(runtime.path(), asUser), "window|Corvalith\n");
    struct stat info {};
    EXPECT_NE(::stat((runtime.path() + "/PendulaAppMutex.lock").c_str(), &info), 0);
    ASSERT_EQ(::chmod(runtime.path().c_str(), 0700), 0);
}

}  // namespace
}  // namespace corvalith::testing
