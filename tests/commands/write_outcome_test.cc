// What the user is told after a write, held against what the disk holds: every
// step of add and init failing with EIO, ENOSPC, EACCES and EPERM, the
// failures after the new content is in place, file systems without hard
// links, and memory running out.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "commands/history_edit.h"
#include "commands/history_messages.h"
#include "tests/support/allocation_failure.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::ToCp932;

// The system's calls, with the chosen steps failing with their errno.
class FaultyFileSystem : public FileSystem {
  public:
    explicit FaultyFileSystem(std::map<FileStep, int> faults) : faults_(std::move(faults)) {}

    int Open(FileStep step, const std::string& path, int flags, mode_t mode) override {
        return Fails(step) ? -1 : FileSystem::Open(step, path, flags, mode);
    }
    ssize_t Read(FileStep step, int fd, void* buffer, std::size_t size) override {
        return Fails(step) ? -1 : FileSystem::Read(step, fd, buffer, size);
    }
    ssize_t Write(FileStep step, int fd, const void* buffer, std::size_t size) override {
        return Fails(step) ? -1 : FileSystem::Write(step, fd, buffer, size);
    }
    int Sync(FileStep step, int fd) override {
        return Fails(step) ? -1 : FileSystem::Sync(step, fd);
    }
    int Fchmod(int fd, mode_t mode) override {
        return Fails(FileStep::Permissions) ? -1 : FileSystem::Fchmod(fd, mode);
    }
    int Fchown(int fd, uid_t owner, gid_t group) override {
        return Fails(FileStep::Owner) ? -1 : FileSystem::Fchown(fd, owner, group);
    }
    int Link(FileStep step, const std::string& from, const std::string& to) override {
        return Fails(step) ? -1 : FileSystem::Link(step, from, to);
    }
    int Rename(FileStep step, const std::string& from, const std::string& to) override {
        return Fails(step) ? -1 : FileSystem::Rename(step, from, to);
    }
    int RenameNoReplace(const std::string& from, const std::string& to) override {
        return Fails(FileStep::Place) ? -1 : FileSystem::RenameNoReplace(from, to);
    }
    int Unlink(FileStep step, const std::string& path) override {
        return Fails(step) ? -1 : FileSystem::Unlink(step, path);
    }
    int Stat(FileStep step, const std::string& path, struct stat& info) override {
        return Fails(step) ? -1 : FileSystem::Stat(step, path, info);
    }
    int Lstat(FileStep step, const std::string& path, struct stat& info) override {
        return Fails(step) ? -1 : FileSystem::Lstat(step, path, info);
    }
    int Fstat(FileStep step, int fd, struct stat& info) override {
        return Fails(step) ? -1 : FileSystem::Fstat(step, fd, info);
    }
    int RealPath(const std::string& path, std::string& resolved) override {
        return Fails(FileStep::OpenHistory) ? -1 : FileSystem::RealPath(path, resolved);
    }
    int Flock(FileStep step, int fd, int operation) override {
        return Fails(step) ? -1 : FileSystem::Flock(step, fd, operation);
    }
    int Access(const std::string& path, int mode) override {
        return Fails(FileStep::Access) ? -1 : FileSystem::Access(path, mode);
    }
    int ListDirectory(const std::string& directory, std::vector<std::string>& names) override {
        return Fails(FileStep::CleanUp) ? -1 : FileSystem::ListDirectory(directory, names);
    }
    int InodeFlags(const std::string& path, long& flags) override {
        return Fails(FileStep::Create) ? -1 : FileSystem::InodeFlags(path, flags);
    }
    int ListAttributes(int fd, std::string& names) override {
        return Fails(FileStep::Attributes) ? -1 : FileSystem::ListAttributes(fd, names);
    }

  private:
    bool Fails(FileStep step) {
        const auto fault = faults_.find(step);
        if (fault == faults_.end()) return false;
        errno = fault->second;
        return true;
    }
    std::map<FileStep, int> faults_;
};

const char* const kHistory =
    "回号,抽せん日,曜日,当せん番号,備考\n"
    "第1回,2026/8/19,水,1111,-\n";
const char* const kAdded = "第2回,2026/8/24,月,1234,-\n";

std::vector<std::string> Entries(const std::string& directory) {
    std::vector<std::string> names;
    FileSystem().ListDirectory(directory, names);
    std::sort(names.begin(), names.end());
    return names;
}

bool Says(const std::u16string& message, std::string_view utf8) {
    return Utf16ToUtf8(message).find(utf8) != std::string::npos;
}

std::string Notes(const EditOutcome& outcome) {
    std::string notes;
    for (const WriteNote& note : outcome.write.notes) notes += Utf16ToUtf8(WriteNoteMessage(note));
    return notes;
}

constexpr FileStep kUpdateSteps[] = {
    FileStep::OpenHistory, FileStep::Lock,   FileStep::ReadHistory, FileStep::Access,
    FileStep::CleanUp,     FileStep::Create, FileStep::Permissions, FileStep::Owner,
    FileStep::Attributes,  FileStep::Write,  FileStep::Sync,        FileStep::ReadBack,
    FileStep::Verify,      FileStep::Link,   FileStep::Rename,      FileStep::SyncDirectory};

// The outcome a failure of `step` with `error` must have, and whether the
// new content is then on disk.
struct Expected {
    EditStatus status;
    bool written;
    const char* words;  // part of the message or the notes
};

Expected ForAdd(FileStep step, int error) {
    switch (step) {
        case FileStep::Access:
            if (error == EACCES || error == EPERM) {
                return {EditStatus::ReadOnly, false, "読み取り専用"};
            }
            break;
        case FileStep::CleanUp:
            return {EditStatus::Ok, true, ""};
        case FileStep::Owner:
            return {EditStatus::Ok, true, "所有者"};
        case FileStep::Attributes:
            return {EditStatus::Ok, true, "拡張属性"};
        case FileStep::Link:
            if (error == EPERM) return {EditStatus::Ok, true, ""};  // no hard links: goes on
            break;
        case FileStep::Create:
            return {EditStatus::WriteFailed, false, "一時ファイルを作る（フォルダ /"};
        default:
            break;
    }
    return {EditStatus::WriteFailed, false, "履歴は変わっていません"};
}

TEST(WriteOutcome, EveryStepOfAnAddFailingSaysWhatIsOnTheDisk) {
    const std::string before = ToCp932(kHistory);
    const std::string after = ToCp932(std::string(kHistory) + kAdded);
    for (const FileStep step : kUpdateSteps) {
        for (const int error : {EIO, ENOSPC, EACCES, EPERM}) {
            SCOPED_TRACE(
                Utf16ToUtf8(WriteFailedMessage({WriteStatus::Failed, step, error, {}, {}})));
            TempDir dir;
            const std::string path = dir.Write("h.csv", before);
            FaultyFileSystem fs({{step, error}});
            AddRequest request{path, u"1234", std::nullopt, u"2026/8/24"};
            const EditOutcome outcome = AddResult(request, fs);
            const Expected want = ForAdd(step, error);
            EXPECT_EQ(outcome.status, want.status) << Utf16ToUtf8(outcome.message);
            EXPECT_EQ(ReadFile(path), want.written ? after : before);
            EXPECT_NE((Utf16ToUtf8(outcome.message) + Notes(outcome)).find(want.words),
                      std::string::npos)
                << Utf16ToUtf8(outcome.message);
            if (!want.written) {
                EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"h.csv"});
            } else {
                EXPECT_FALSE(Says(outcome.message, "変わっていません"));
            }
        }
    }
}

TEST(WriteOutcome, AFailureAfterTheNewContentIsInPlaceSaysItWasWritten) {
    const std::string before = ToCp932(kHistory);
    const std::string after = ToCp932(std::string(kHistory) + kAdded);
    const struct {
        const char* what;
        std::map<FileStep, int> faults;
        EditStatus status;
        bool written;
    } cases[] = {
        {"the folder flush fails, the old file is put back",
         {{FileStep::SyncDirectory, EIO}},
         EditStatus::WriteFailed,
         false},
        {"the folder flush and the put-back fail",
         {{FileStep::SyncDirectory, EIO}, {FileStep::PutBack, EIO}},
         EditStatus::Unconfirmed,
         true},
        {"no hard links, the folder flush fails",
         {{FileStep::SyncDirectory, EIO}, {FileStep::Link, EPERM}},
         EditStatus::Unconfirmed,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.Write("h.csv", before);
        FaultyFileSystem fs(c.faults);
        const EditOutcome outcome = AddResult({path, u"1234", std::nullopt, u"2026/8/24"}, fs);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(ReadFile(path), c.written ? after : before);
        EXPECT_EQ(Says(outcome.message, "変わっていません"), !c.written);
        EXPECT_EQ(Says(outcome.message, "置き換えましたが"), c.written);
    }
}

TEST(WriteOutcome, EveryStepOfAnInitFailingLeavesNoFile) {
    for (const FileStep step :
         {FileStep::OpenHistory, FileStep::CleanUp, FileStep::Create, FileStep::Write,
          FileStep::Sync, FileStep::ReadBack, FileStep::Place, FileStep::SyncDirectory}) {
        for (const int error : {EIO, ENOSPC, EACCES, EPERM}) {
            SCOPED_TRACE(
                Utf16ToUtf8(WriteFailedMessage({WriteStatus::Failed, step, error, {}, {}})));
            TempDir dir;
            FaultyFileSystem fs({{step, error}});
            const EditOutcome outcome = InitHistory(dir.File("h.csv"), fs);
            if (step == FileStep::CleanUp) {
                EXPECT_EQ(outcome.status, EditStatus::Ok);
                EXPECT_EQ(ReadFile(dir.File("h.csv")), NewHistoryBytes());
            } else {
                EXPECT_EQ(outcome.status, EditStatus::WriteFailed);
                EXPECT_TRUE(Says(outcome.message, "変わっていません"));
                EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{});
            }
        }
    }
    TempDir dir;
    // A read-only mount: said of the folder, as add says it of the file.
    FaultyFileSystem readOnly({{FileStep::Create, EROFS}});
    const EditOutcome refused = InitHistory(dir.File("h.csv"), readOnly);
    EXPECT_EQ(refused.status, EditStatus::ReadOnly);
    EXPECT_EQ(refused.message, kMsgFolderReadOnly);
    FaultyFileSystem fs({{FileStep::SyncDirectory, EIO}, {FileStep::PutBack, EIO}});
    const EditOutcome outcome = InitHistory(dir.File("h.csv"), fs);
    EXPECT_EQ(outcome.status, EditStatus::Unconfirmed);
    EXPECT_EQ(ReadFile(dir.File("h.csv")), NewHistoryBytes());
    EXPECT_TRUE(Says(outcome.message, "置き換えましたが"));
}

TEST(WriteOutcome, EveryCommandWorksWhereHardLinksAreRefused) {
    TempDir dir;
    FaultyFileSystem fs({{FileStep::Link, EPERM}, {FileStep::Place, EPERM}});
    const std::string path = dir.File("h.csv");
    // Place covers the hard link and the rename that does not replace: the
    // init below uses the plain rename a file system without either offers.
    ASSERT_EQ(InitHistory(path, fs).status, EditStatus::WriteFailed);
    FaultyFileSystem noLinks({{FileStep::Link, EPERM}});
    ASSERT_EQ(InitHistory(path, noLinks).status, EditStatus::Ok);
    ASSERT_EQ(AddResult({path, u"1234", 1, u"2026/8/24"}, noLinks).status, EditStatus::Ok);
    ImportRequest import{path, {{"pasted", "第2回 2026/8/25 5678\n"}}};
    ASSERT_EQ(ImportResults(import, noLinks).status, EditStatus::Ok);
    EXPECT_EQ(ReadFile(path), NewHistoryBytes() + ToCp932("第1回,2026/8/24,月,1234,-\n"
                                                          "第2回,2026/8/25,火,5678,-\n"));
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"h.csv"});
    EXPECT_EQ(InitHistory(path, noLinks).status, EditStatus::Exists);
}

TEST(WriteOutcome, MemoryRunningOutIsSaidAsSuchAndWritesNothing) {
    TempDir dir;
    const std::string before = ToCp932(kHistory);
    const std::string path = dir.Write("h.csv", before);
    const AddRequest request{path, u"1234", std::nullopt, u"2026/8/24"};
    int failures = 0;
    for (std::size_t n = 1; n < 400; n += 7) {
        EditOutcome outcome;
        {
            testing::FailingAllocation failing(n);
            outcome = AddResult(request);
            if (!failing.Failed()) break;
        }
        ++failures;
        ASSERT_EQ(outcome.status, EditStatus::OutOfMemory) << n;
        EXPECT_TRUE(outcome.message.empty() || Says(outcome.message, "メモリが不足"));
        ASSERT_EQ(ReadFile(path), before);
    }
    EXPECT_GT(failures, 3);
}

}  // namespace
}  // namespace corvalith
