// The safe write where a file system or another program acts on its own: a
// change between read and rename, stale temporary files, long names, another
// writer's lock, what a write keeps of the old file, folders that keep every
// file. What the user is told for each failing step is the commands' test.
#include "history/safe_write.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "history/draw_writer.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::ReadFile;
using testing::TempDir;

// Appends draw highest + 1 in the file's style.
bool AppendOne(const HistoryImage& history, EditPlan& plan) {
    const std::int32_t next = history.highest + 1;
    plan.bytes =
        history.bytes + FormatDrawLine(StyleOf(history), next, {2026, 8, 24}, {'1', '2', '3', '4'});
    plan.drawCount = history.draws.size() + 1;
    plan.changed.push_back({history.draws.size(), next, {u'1', u'2', u'3', u'4'}});
    return true;
}

std::vector<std::string> Entries(const std::string& directory) {
    std::vector<std::string> names;
    FileSystem().ListDirectory(directory, names);
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `act` once, when the temporary file is first written: the moment
// between the read and the rename.
class MidWriteFileSystem : public FileSystem {
  public:
    explicit MidWriteFileSystem(std::function<void()> act) : act_(std::move(act)) {}
    ssize_t Write(FileStep step, int fd, const void* buffer, std::size_t size) override {
        if (act_) std::exchange(act_, nullptr)();
        return FileSystem::Write(step, fd, buffer, size);
    }

  private:
    std::function<void()> act_;
};

TEST(SafeWrite, WithoutFaultsTheNewContentReplacesTheFileAndKeepsItsMode) {
    TempDir dir;
    const std::string original = testing::MakeHistory({"0487", "0091"});
    const std::string target = dir.Write("target.csv", original);
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const std::string link = dir.File("link.csv");
    ASSERT_EQ(symlink("target.csv", link.c_str()), 0);
    const WriteOutcome outcome = UpdateHistory(SystemFileSystem(), link, AppendOne, false);
    ASSERT_EQ(outcome.status, WriteStatus::Ok);
    EXPECT_TRUE(outcome.notes.empty());
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));  // the link stays, its target is written
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(target), original + testing::ToCp932("第3回,2026/8/24,月,1234,-\n"));
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"link.csv", "target.csv"}));
}

TEST(SafeWrite, AChangeByAnotherProgramBetweenReadAndRenameIsKept) {
    const std::string original = testing::MakeHistory({"0487", "0091"});
    std::string sameSize = original;
    sameSize[sameSize.size() - 4] = '9';  // the last result's "1" in the last line
    const struct {
        const char* what;
        std::function<void(const std::string& path)> change;
        std::string kept;
    } cases[] = {
        {"rewritten in place, same size, modification time set back",
         [&](const std::string& path) {
             struct stat before {};
             ASSERT_EQ(stat(path.c_str(), &before), 0);
             std::ofstream(path, std::ios::binary | std::ios::in) << sameSize;
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
         },
         sameSize},
        {"appended to",
         [](const std::string& path) {
             std::ofstream(path, std::ios::binary | std::ios::app) << "x";
         },
         original + "x"},
        {"replaced by a copy moved over it",
         [&](const std::string& path) {
             std::ofstream(path + ".new", std::ios::binary) << sameSize;
             ASSERT_EQ(rename((path + ".new").c_str(), path.c_str()), 0);
         },
         sameSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.Write("history.csv", original);
        MidWriteFileSystem fs([&] { c.change(path); });
        EXPECT_EQ(UpdateHistory(fs, path, AppendOne, false).status, WriteStatus::Changed);
        EXPECT_EQ(ReadFile(path), c.kept);
        EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"history.csv"});
    }
}

TEST(SafeWrite, OnlyTemporaryFilesNoWriterHoldsAreRemoved) {
    TempDir dir;
    const std::string path = dir.Write("history.csv", testing::MakeHistory({"0487"}));
    const std::string prefix = TemporaryPrefix("history.csv");
    // A killed writer's files, one named the old way with a process ID that
    // now belongs to a running process (this one).
    dir.Write(prefix + "tmp-0123456789abcdef", "half a history");
    dir.Write(prefix + "tmp-" + std::to_string(getpid()) + "-0123456789abcdef", "older");
    dir.Write(prefix + "old-fedcba9876543210", "an old history");
    // A writer at work holds its file's lock.
    const std::string running = prefix + "tmp-00000000deadbeef";
    const int held = open(dir.Write(running, "another writer's").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    ASSERT_EQ(UpdateHistory(SystemFileSystem(), path, AppendOne, false).status, WriteStatus::Ok);
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{running, "history.csv"}));
    close(held);
}

TEST(SafeWrite, TheLongestNameAHistoryCanHaveIsWritten) {
    TempDir dir;
    const std::string name = std::string(NAME_MAX - 4, 'h') + ".csv";
    ASSERT_EQ(name.size(), 255u);
    ASSERT_LE(TemporaryPrefix(name).size() + 4 + 16, std::size_t{NAME_MAX});
    const std::string path = dir.File(name);
    ASSERT_EQ(CreateHistory(SystemFileSystem(), path, NewHistoryBytes()).status, WriteStatus::Ok);
    ASSERT_EQ(UpdateHistory(SystemFileSystem(), path, AppendOne, false).status, WriteStatus::Ok);
    EXPECT_EQ(ReadFile(path), NewHistoryBytes() + testing::ToCp932("第1回,2026/8/24,月,1234,-\n"));
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{name});
}

// Another process holds the history's lock until it is killed.
class LockHolder {
  public:
    explicit LockHolder(const std::string& path) {
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = open(path.c_str(), O_RDONLY);
            if (fd < 0 || flock(fd, LOCK_EX) != 0) _exit(1);
            (void)!write(ready[1], "x", 1);
            for (;;) pause();
        }
        close(ready[1]);
        char byte = 0;
        EXPECT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
    }
    ~LockHolder() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

  private:
    pid_t pid_ = -1;
};

TEST(SafeWrite, AWriterThatFindsTheHistoryLockedSaysSoAndWaitsABoundedTime) {
    TempDir dir;
    const std::string original = testing::MakeHistory({"0487"});
    const std::string path = dir.Write("history.csv", original);
    {
        LockHolder holder(path);
        for (const int limit : {0, 400}) {
            SCOPED_TRACE(limit);
            int told = 0;
            const LockWait wait{std::chrono::milliseconds(limit), [&told] { ++told; }};
            const auto start = std::chrono::steady_clock::now();
            for (const bool dryRun : {true, false}) {
                EXPECT_EQ(
                    UpdateHistory(SystemFileSystem(), path, AppendOne, dryRun, kHistoryLimits, wait)
                        .status,
                    WriteStatus::Locked);
            }
            const auto waited = std::chrono::steady_clock::now() - start;
            EXPECT_EQ(told, limit == 0 ? 0 : 2);
            EXPECT_GE(waited, 2 * std::chrono::milliseconds(limit));
            EXPECT_LT(waited, 2 * std::chrono::milliseconds(limit) + std::chrono::seconds(3));
        }
    }
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(UpdateHistory(SystemFileSystem(), path, AppendOne, false).status, WriteStatus::Ok);
}

// Raw POSIX ACL (system.posix_acl_access): owner rw, user `uid` rw, group r,
// mask rw, others r.
std::string AccessAcl(std::uint32_t uid) {
    std::string acl;
    const auto put = [&acl](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) acl += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(2, 4);  // version
    const std::uint32_t entries[][3] = {{0x01, 6, 0xFFFFFFFF},
                                        {0x02, 6, uid},
                                        {0x04, 4, 0xFFFFFFFF},
                                        {0x10, 6, 0xFFFFFFFF},
                                        {0x20, 4, 0xFFFFFFFF}};
    for (const auto& entry : entries) {
        put(entry[0], 2);
        put(entry[1], 2);
        put(entry[2], 4);
    }
    return acl;
}

std::string Attribute(const std::string& path, const char* name) {
    std::string value(256, '\0');
    const ssize_t size = getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return value;
}

TEST(SafeWrite, AWriteKeepsAttributesAndAclsAndTellsOfOtherNames) {
    TempDir dir;
    const std::string path = dir.Write("history.csv", testing::MakeHistory({"0487"}));
    const std::string acl = AccessAcl(4321);
    if (setxattr(path.c_str(), "user.origin", "by hand", 7, 0) != 0 ||
        setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
        GTEST_SKIP() << "no user attributes or ACLs here: " << std::strerror(errno);
    }
    const std::string other = dir.File("other-name.csv");
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    const WriteOutcome outcome = UpdateHistory(SystemFileSystem(), path, AppendOne, false);
    ASSERT_EQ(outcome.status, WriteStatus::Ok);
    EXPECT_EQ(Attribute(path, "user.origin"), "by hand");
    EXPECT_EQ(Attribute(path, "system.posix_acl_access"), acl);
    ASSERT_EQ(outcome.notes.size(), 1u);
    EXPECT_EQ(outcome.notes[0].kind, WriteNote::Kind::OtherNamesKeepOld);
    EXPECT_EQ(outcome.notes[0].count, 1u);
    EXPECT_EQ(ReadFile(other), testing::MakeHistory({"0487"}));
}

TEST(SafeWrite, AFolderThatKeepsEveryFileIsRefusedBeforeAnythingIsMade) {
    TempDir dir;
    const std::string original = testing::MakeHistory({"0487"});
    const std::string path = dir.Write("history.csv", original);
    const int folder = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (ioctl(folder, FS_IOC_GETFLAGS, &flags) != 0 ||
        (flags |= FS_APPEND_FL, ioctl(folder, FS_IOC_SETFLAGS, &flags)) != 0) {
        close(folder);
        GTEST_SKIP() << "cannot make the folder append-only here: " << std::strerror(errno);
    }
    const WriteOutcome updated = UpdateHistory(SystemFileSystem(), path, AppendOne, false);
    const WriteOutcome created =
        CreateHistory(SystemFileSystem(), dir.File("new.csv"), NewHistoryBytes());
    flags &= ~FS_APPEND_FL;
    ASSERT_EQ(ioctl(folder, FS_IOC_SETFLAGS, &flags), 0);
    close(folder);
    for (const WriteOutcome& outcome : {updated, created}) {
        EXPECT_EQ(outcome.status, WriteStatus::Failed);
        EXPECT_EQ(outcome.step, FileStep::Create);
        EXPECT_EQ(outcome.error, EPERM);
        EXPECT_EQ(outcome.folder, dir.path());
    }
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"history.csv"});
}

TEST(SafeWrite, AnotherUsersHistoryInAStickyFolderIsRefusedWithoutLeavingFiles) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
    TempDir dir;
    const std::string original = testing::MakeHistory({"0487"});
    const std::string path = dir.Write("history.csv", original);
    ASSERT_EQ(chmod(dir.path().c_str(), 01777), 0);
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(100);
        const WriteOutcome outcome = UpdateHistory(SystemFileSystem(), path, AppendOne, false);
        _exit(outcome.status == WriteStatus::Failed && outcome.step == FileStep::Rename &&
                      outcome.error == EPERM
                  ? 0
                  : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "cannot become another user";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"history.csv"});
}

TEST(SafeWrite, PathsThatAreNoWritableHistoryAreRefusedUntouched) {
    TempDir dir;
    const std::string good = testing::MakeHistory({"0487"});
    const std::string readOnly = dir.Write("read-only.csv", good);
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    const std::string broken = dir.Write("broken.csv", testing::ToCp932("h\n第1回,2001/5/7,a,1\n"));
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        WriteStatus status;
    } cases[] = {
        {readOnly, WriteStatus::ReadOnly},         {broken, WriteStatus::Unreadable},
        {fifo, WriteStatus::NotRegular},           {dir.path(), WriteStatus::NotRegular},
        {dir.File("none"), WriteStatus::NotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        struct stat info {};
        const bool regular = stat(c.path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
        const std::string before = regular ? ReadFile(c.path) : "";
        EXPECT_EQ(UpdateHistory(SystemFileSystem(), c.path, AppendOne, false).status, c.status);
        if (regular) {
            EXPECT_EQ(ReadFile(c.path), before);
        }
    }
    EXPECT_EQ(Entries(dir.path()),
              (std::vector<std::string>{"broken.csv", "fifo", "read-only.csv"}));
}

TEST(SafeWrite, APlanThatDoesNotHoldIsNotWritten) {
    TempDir dir;
    const std::string original = testing::MakeHistory({"0487"});
    const std::string path = dir.Write("history.csv", original);
    const HistoryEdit differs = [](const HistoryImage& history, EditPlan& plan) {
        EXPECT_TRUE(AppendOne(history, plan));
        plan.changed.back().result = {u'9', u'9', u'9', u'9'};
        return true;
    };
    const HistoryEdit doesNotLoad = [](const HistoryImage& history, EditPlan& plan) {
        EXPECT_TRUE(AppendOne(history, plan));
        plan.bytes += "第3回,2026/8/25,火,12,-\n";
        return true;
    };
    const HistoryEdit throws = [](const HistoryImage&, EditPlan&) -> bool {
        throw std::runtime_error("an edit's own failure");
    };
    const HistoryLimits tiny = {kMaxLineBytes, original.size() + 5, 10};
    const struct {
        HistoryEdit edit;
        HistoryLimits limits;
        WriteStatus status;
    } cases[] = {
        {differs, kHistoryLimits, WriteStatus::PlanDiffers},
        {doesNotLoad, kHistoryLimits, WriteStatus::PlanDoesNotLoad},
        {AppendOne, tiny, WriteStatus::TooLarge},
        {throws, kHistoryLimits, WriteStatus::Internal},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateHistory(SystemFileSystem(), path, c.edit, false, c.limits).status,
                  c.status);
    }
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"history.csv"});
}

TEST(SafeWrite, CreateRefusesATakenPathAndAReadOnlyFolder) {
    TempDir dir;
    const std::string taken = dir.Write("taken.csv", "mine");
    EXPECT_EQ(CreateHistory(SystemFileSystem(), taken, NewHistoryBytes()).status,
              WriteStatus::Exists);
    EXPECT_EQ(ReadFile(taken), "mine");
    // A read-only mount, as the file system says it.
    class ReadOnlyMount : public FileSystem {
        int Open(FileStep step, const std::string& path, int flags, mode_t mode) override {
            if (step != FileStep::Create) return FileSystem::Open(step, path, flags, mode);
            errno = EROFS;
            return -1;
        }
    } readOnly;
    EXPECT_EQ(CreateHistory(readOnly, dir.File("new.csv"), NewHistoryBytes()).status,
              WriteStatus::ReadOnly);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"taken.csv"});
}

}  // namespace
}  // namespace corvalith
