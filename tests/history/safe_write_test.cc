// The safe write under injected failures: every step of the write made to
// fail with EIO, ENOSPC and EACCES (and a short write before the failure)
// leaves the history byte for byte and nothing beside it. Then the cases a
// file system produces by itself: a change by another program between read
// and rename, links, permission bits, stale temporary files, odd paths.
#include "history/safe_write.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "history/draw_writer.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::ReadFile;
using testing::TempDir;

enum class Fault {
    Create,
    Permissions,
    Write,
    ShortWrite,
    Sync,
    ReadBack,
    Link,
    Rename,
    SyncDirectory
};

const char* NameOf(Fault fault) {
    static const char* const kNames[] = {"create",      "permissions", "write",
                                         "short write", "fsync",       "read-back",
                                         "link",        "rename",      "directory fsync"};
    return kNames[static_cast<int>(fault)];
}

// The system's calls, with one step failing with `error`.
class FailingFileSystem : public FileSystem {
  public:
    FailingFileSystem(Fault fault, int error) : fault_(fault), error_(error) {}

    int Open(FileStep step, const std::string& path, int flags, mode_t mode) override {
        if ((fault_ == Fault::Create && step == FileStep::Create) ||
            (fault_ == Fault::SyncDirectory && step == FileStep::SyncDirectory)) {
            return Failure();
        }
        return FileSystem::Open(step, path, flags, mode);
    }
    ssize_t Read(FileStep step, int fd, void* buffer, std::size_t size) override {
        if (fault_ == Fault::ReadBack && step == FileStep::ReadBack) return Failure();
        return FileSystem::Read(step, fd, buffer, size);
    }
    ssize_t Write(FileStep step, int fd, const void* buffer, std::size_t size) override {
        if (fault_ == Fault::ShortWrite && !shortDone_) {
            shortDone_ = true;
            return FileSystem::Write(step, fd, buffer, size / 2);
        }
        if (fault_ == Fault::Write || fault_ == Fault::ShortWrite) return Failure();
        return FileSystem::Write(step, fd, buffer, size);
    }
    int Sync(FileStep step, int fd) override {
        if (fault_ == Fault::Sync && step == FileStep::Sync) return Failure();
        if (fault_ == Fault::SyncDirectory && step == FileStep::SyncDirectory) return Failure();
        return FileSystem::Sync(step, fd);
    }
    int Fchmod(int fd, mode_t mode) override {
        if (fault_ == Fault::Permissions) return Failure();
        return FileSystem::Fchmod(fd, mode);
    }
    int Link(const std::string& from, const std::string& to) override {
        if (fault_ == Fault::Link) return Failure();
        return FileSystem::Link(from, to);
    }
    int Rename(const std::string& from, const std::string& to) override {
        if (fault_ == Fault::Rename) return Failure();
        return FileSystem::Rename(from, to);
    }

  private:
    int Failure() {
        errno = error_;
        return -1;
    }
    Fault fault_;
    int error_;
    bool shortDone_ = false;
};

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
    DIR* dir = opendir(directory.c_str());
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SafeWrite, EveryStepFailingLeavesTheHistoryAndNothingBesideIt) {
    const Fault faults[] = {Fault::Create,     Fault::Permissions, Fault::Write,
                            Fault::ShortWrite, Fault::Sync,        Fault::ReadBack,
                            Fault::Link,       Fault::Rename,      Fault::SyncDirectory};
    // Large enough that the write takes more than one call.
    std::vector<std::string> results(40000, "0487");
    const std::string original = testing::MakeHistory(results);
    for (const Fault fault : faults) {
        for (const int error : {EIO, ENOSPC, EACCES}) {
            SCOPED_TRACE(std::string(NameOf(fault)) + " fails with " + std::strerror(error));
            TempDir dir;
            const std::string path = dir.Write("history.csv", original);
            FailingFileSystem fs(fault, error);
            const WriteOutcome outcome = UpdateHistory(fs, path, AppendOne, false);
            EXPECT_EQ(outcome.status, WriteStatus::Failed);
            EXPECT_EQ(outcome.error, error);
            EXPECT_EQ(ReadFile(path), original);
            EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"history.csv"});
        }
    }
}

TEST(SafeWrite, WithoutFaultsTheNewContentReplacesTheFileAndKeepsItsMode) {
    TempDir dir;
    const std::string original = testing::MakeHistory({"0487", "0091"});
    const std::string target = dir.Write("target.csv", original);
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const std::string link = dir.File("link.csv");
    ASSERT_EQ(symlink("target.csv", link.c_str()), 0);
    const WriteOutcome outcome = UpdateHistory(SystemFileSystem(), link, AppendOne, false);
    ASSERT_EQ(outcome.status, WriteStatus::Ok);
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));  // the link stays, its target is written
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(target), original + testing::ToCp932("第3回,2026/8/24,月,1234,-\n"));
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"link.csv", "target.csv"}));
}

// Another program rewrites the history while the new content is written.
class RewritingFileSystem : public FileSystem {
  public:
    explicit RewritingFileSystem(std::string path) : path_(std::move(path)) {}
    ssize_t Write(FileStep step, int fd, const void* buffer, std::size_t size) override {
        if (!done_) {
            done_ = true;
            std::ofstream(path_, std::ios::binary | std::ios::app) << "x";
        }
        return FileSystem::Write(step, fd, buffer, size);
    }

  private:
    std::string path_;
    bool done_ = false;
};

TEST(SafeWrite, AFileChangedBetweenReadAndRenameIsNotReplaced) {
    TempDir dir;
    const std::string path = dir.Write("history.csv", testing::MakeHistory({"0487"}));
    RewritingFileSystem fs(path);
    const WriteOutcome outcome = UpdateHistory(fs, path, AppendOne, false);
    EXPECT_EQ(outcome.status, WriteStatus::Changed);
    EXPECT_EQ(ReadFile(path), testing::MakeHistory({"0487"}) + "x");
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"history.csv"});
}

TEST(SafeWrite, AStaleTemporaryFileIsRecognisedAndRemovedByTheNextWrite) {
    TempDir dir;
    const std::string path = dir.Write("history.csv", testing::MakeHistory({"0487"}));
    // PID 0x7FFFFFF0 is beyond any the kernel hands out, so it names a process that is gone.
    const std::string stale = TemporaryPrefix("history.csv") + "tmp-2147483632-0123456789abcdef";
    dir.Write(stale, "half a history");
    const std::string running =
        TemporaryPrefix("history.csv") + "tmp-" + std::to_string(getpid()) + "-0123456789abcdef";
    dir.Write(running, "another writer's");
    ASSERT_EQ(UpdateHistory(SystemFileSystem(), path, AppendOne, false).status, WriteStatus::Ok);
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{running, "history.csv"}));
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
    const auto lying = [](const HistoryImage& history, EditPlan& plan) {
        EXPECT_TRUE(AppendOne(history, plan));
        plan.changed.back().result = {u'9', u'9', u'9', u'9'};
        return true;
    };
    EXPECT_EQ(UpdateHistory(SystemFileSystem(), path, lying, false).status, WriteStatus::Failed);
    const HistoryLimits tiny = {kMaxLineBytes, original.size() + 5, 10};
    EXPECT_EQ(UpdateHistory(SystemFileSystem(), path, AppendOne, false, tiny).status,
              WriteStatus::TooLarge);
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"history.csv"});
}

TEST(SafeWrite, CreateRefusesATakenPathAndFailsCleanly) {
    TempDir dir;
    const std::string taken = dir.Write("taken.csv", "mine");
    EXPECT_EQ(CreateHistory(SystemFileSystem(), taken, NewHistoryBytes()).status,
              WriteStatus::Exists);
    EXPECT_EQ(ReadFile(taken), "mine");
    FailingFileSystem fs(Fault::Sync, EIO);
    EXPECT_EQ(CreateHistory(fs, dir.File("new.csv"), NewHistoryBytes()).status,
              WriteStatus::Failed);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"taken.csv"});
}

}  // namespace
}  // namespace corvalith
