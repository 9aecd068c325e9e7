// The steps of a safe write. The history stays open and locked (flock) from
// the read to the rename; because the rename replaces the file, a writer that
// waited for the lock re-opens the path and starts again when the path no
// longer names the file it locked. Before the rename the old file gets a
// second name, so that a failed directory flush can put it back. Every call
// that touches the file system goes through `FileSystem`.
#include "history/safe_write.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <random>
#include <string_view>
#include <thread>

namespace corvalith {
namespace {

constexpr int kMaxAttempts = 100;  // re-opens after the history was replaced meanwhile
constexpr std::size_t kChunk = std::size_t{64} * 1024;
// Up to this size the history is read again before the rename and compared by
// hash; beyond it the status-change time alone tells a rewrite in place.
constexpr std::size_t kRereadLimit = std::size_t{64} * 1024 * 1024;
constexpr std::chrono::milliseconds kLockPoll{20};
constexpr std::string_view kMarker = ".corvix-";
constexpr std::size_t kKindAndSuffix = 4 + 16;  // "tmp-" and 16 hex digits

class Fd {
  public:
    explicit Fd(int fd = -1) noexcept : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    [[nodiscard]] int get() const noexcept { return fd_; }
    void Reset(int fd = -1) noexcept {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_;
};

// A file beside the history that is removed unless it is kept.
class ScratchName {
  public:
    explicit ScratchName(FileSystem& fs) : fs_(fs) {}
    ~ScratchName() {
        if (!path_.empty()) (void)fs_.Unlink(FileStep::CleanUp, path_);
    }
    ScratchName(const ScratchName&) = delete;
    ScratchName& operator=(const ScratchName&) = delete;
    void Set(std::string path) { path_ = std::move(path); }
    void Keep() noexcept { path_.clear(); }
    [[nodiscard]] const std::string& path() const noexcept { return path_; }

  private:
    FileSystem& fs_;
    std::string path_;
};

// The temporary file: its name (removed unless kept) and its descriptor,
// which holds the lock that tells other writers it is in use.
struct Temporary {
    explicit Temporary(FileSystem& fs) : name(fs) {}
    Fd fd;  // declared before `name`: the name is removed while its lock is still held
    ScratchName name;
};

WriteOutcome Fail(FileStep step, int error) { return {WriteStatus::Failed, step, error, {}, {}}; }
WriteOutcome Status(WriteStatus status) { return {status, FileStep::OpenHistory, 0, {}, {}}; }

bool SameFile(const struct stat& a, const struct stat& b) noexcept {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameTime(const struct timespec& a, const struct timespec& b) noexcept {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The status-change time is set by the kernel on every write and cannot be
// set back by a program, unlike the modification time.
bool Unchanged(const struct stat& a, const struct stat& b) noexcept {
    return SameFile(a, b) && a.st_size == b.st_size && SameTime(a.st_mtim, b.st_mtim) &&
           SameTime(a.st_ctim, b.st_ctim);
}

void SplitPath(const std::string& path, std::string& directory, std::string& name) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        directory = std::string(1, '.');
        name = path;
    } else {
        directory = slash == 0 ? std::string(1, '/') : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

std::string Joined(const std::string& directory, const std::string& name) {
    return directory == "/" ? "/" + name : directory + "/" + name;
}

std::string UniqueName(const std::string& name, const char* kind) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    std::array<char, 32> suffix{};
    std::snprintf(suffix.data(), suffix.size(), "%016llx",
                  static_cast<unsigned long long>(random()));
    return TemporaryPrefix(name) + kind + "-" + suffix.data();
}

std::uint64_t Hash(std::string_view bytes) noexcept {
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

// Removes the writer's files beside `name` that no running writer holds: a
// writer keeps its temporary file locked, and its second name of the old file
// is the history it keeps locked. `locked` is the history this writer holds.
void RemoveStaleFiles(FileSystem& fs, const std::string& directory, const std::string& name,
                      const struct stat* locked) {
    std::vector<std::string> names;
    if (fs.ListDirectory(directory, names) != 0) return;
    const std::string prefix = TemporaryPrefix(name);
    for (const std::string& file : names) {
        if (file.rfind(prefix, 0) != 0) continue;
        const std::string_view rest = std::string_view(file).substr(prefix.size());
        if (rest.rfind("tmp-", 0) != 0 && rest.rfind("old-", 0) != 0) continue;
        const std::string path = Joined(directory, file);
        struct stat info {};
        if (fs.Lstat(FileStep::CleanUp, path, info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (locked == nullptr || !SameFile(info, *locked)) {
            Fd fd(fs.Open(FileStep::CleanUp, path,
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0));
            if (fd.get() < 0) continue;
            if (fs.Flock(FileStep::CleanUp, fd.get(), LOCK_EX | LOCK_NB) != 0) continue;  // in use
            struct stat opened {};
            if (fs.Fstat(FileStep::CleanUp, fd.get(), opened) != 0 || !SameFile(opened, info)) {
                continue;
            }
        }
        (void)fs.Unlink(FileStep::CleanUp, path);
    }
}

bool WriteAll(FileSystem& fs, int fd, const std::string& bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t size = std::min(kChunk * 16, bytes.size() - done);
        const ssize_t put = fs.Write(FileStep::Write, fd, bytes.data() + done, size);
        if (put < 0) {
            error = errno;
            return false;
        }
        if (put == 0) {
            error = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Whether the file at `path` holds exactly `bytes`, read through a new descriptor.
bool ReadsBackAs(FileSystem& fs, const std::string& path, const std::string& bytes, int& error) {
    Fd fd(fs.Open(FileStep::ReadBack, path, O_RDONLY | O_CLOEXEC, 0));
    if (fd.get() < 0) {
        error = errno;
        return false;
    }
    std::string buffer(kChunk, '\0');
    std::size_t done = 0;
    for (;;) {
        const ssize_t got = fs.Read(FileStep::ReadBack, fd.get(), buffer.data(), buffer.size());
        if (got < 0) {
            error = errno;
            return false;
        }
        if (got == 0) break;
        const auto n = static_cast<std::size_t>(got);
        if (done + n > bytes.size() || std::memcmp(buffer.data(), bytes.data() + done, n) != 0) {
            error = EIO;
            return false;
        }
        done += n;
    }
    if (done != bytes.size()) {
        error = EIO;
        return false;
    }
    return true;
}

// Gives the temporary file the history's owner and group where this process
// may; what it may not is a note.
bool KeepOwner(FileSystem& fs, int fd, const struct stat& like, WriteOutcome& outcome) {
    struct stat own {};
    if (fs.Fstat(FileStep::Owner, fd, own) == 0 && own.st_uid == like.st_uid &&
        own.st_gid == like.st_gid) {
        return true;
    }
    if (fs.Fchown(fd, like.st_uid, like.st_gid) == 0) return true;
    const int error = errno;
    // An ordinary user cannot give files away: at least the group.
    const bool group = fs.Fchown(fd, static_cast<uid_t>(-1), like.st_gid) == 0;
    outcome.notes.push_back(
        {group ? WriteNote::Kind::OwnerNotKept : WriteNote::Kind::OwnerAndGroupNotKept,
         {},
         error,
         0});
    return false;
}

// Copies the extended attributes (POSIX ACLs among them) of `from` to `to`.
void CopyAttributes(FileSystem& fs, int from, int to, WriteOutcome& outcome) {
    std::string names;
    if (fs.ListAttributes(from, names) != 0) {
        if (errno != ENOTSUP && errno != ENOSYS) {
            outcome.notes.push_back({WriteNote::Kind::AttributeNotCopied, {}, errno, 0});
        }
        return;
    }
    for (std::size_t at = 0; at < names.size();) {
        const std::size_t end = std::min(names.find('\0', at), names.size());
        const std::string name = names.substr(at, end - at);
        at = end + 1;
        if (name.empty()) continue;
        std::string value;
        std::string present;
        if (fs.GetAttribute(from, name, value) != 0) {
            if (errno != ENODATA) {
                outcome.notes.push_back({WriteNote::Kind::AttributeNotCopied, name, errno, 0});
            }
            continue;
        }
        if (fs.GetAttribute(to, name, present) == 0 && present == value) continue;
        if (fs.SetAttribute(to, name, value) != 0) {
            outcome.notes.push_back({WriteNote::Kind::AttributeNotCopied, name, errno, 0});
        }
    }
}

// Creates the temporary file and takes its lock. A file removed by another
// writer's clean-up between the two is given up for a new name.
WriteOutcome CreateTemporary(FileSystem& fs, const std::string& directory, const std::string& name,
                             mode_t createMode, Temporary& temporary) {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        const std::string path = Joined(directory, UniqueName(name, "tmp"));
        temporary.fd.Reset(fs.Open(FileStep::Create, path,
                                   O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                                   createMode));
        if (temporary.fd.get() < 0) {
            if (errno == EEXIST) continue;
            WriteOutcome failed = Fail(FileStep::Create, errno);
            failed.folder = directory;
            return failed;
        }
        temporary.name.Set(path);
        if (fs.Flock(FileStep::Create, temporary.fd.get(), LOCK_EX | LOCK_NB) != 0) {
            // A file system without locks: the file is this writer's all the same.
            if (errno != EWOULDBLOCK) return Status(WriteStatus::Ok);
        } else {
            struct stat info {};
            if (fs.Fstat(FileStep::Create, temporary.fd.get(), info) != 0) {
                WriteOutcome failed = Fail(FileStep::Create, errno);
                failed.folder = directory;
                return failed;
            }
            if (info.st_nlink > 0) return Status(WriteStatus::Ok);
        }
        temporary.fd.Reset();
        temporary.name.Keep();  // another writer's clean-up has it
    }
    WriteOutcome failed = Fail(FileStep::Create, EEXIST);
    failed.folder = directory;
    return failed;
}

// Writes `bytes` to a new temporary file in `directory`, flushed and read
// back; with `like`, the file gets its mode, owner, group and attributes
// (read from `likeFd`), noted in `outcome` where they cannot be kept.
WriteOutcome WriteTemporary(FileSystem& fs, const std::string& directory, const std::string& name,
                            const std::string& bytes, mode_t createMode, const struct stat* like,
                            int likeFd, Temporary& temporary, WriteOutcome& notes) {
    if (WriteOutcome created = CreateTemporary(fs, directory, name, createMode, temporary);
        created.status != WriteStatus::Ok) {
        return created;
    }
    const int fd = temporary.fd.get();
    if (like != nullptr) {
        if (fs.Fchmod(fd, like->st_mode & 07777) != 0) return Fail(FileStep::Permissions, errno);
        if (!KeepOwner(fs, fd, *like, notes) || (like->st_mode & (S_ISUID | S_ISGID)) != 0) {
            // A change of owner clears the set-ID bits; the mode is given again.
            if (fs.Fchmod(fd, like->st_mode & 07777) != 0) {
                return Fail(FileStep::Permissions, errno);
            }
        }
        CopyAttributes(fs, likeFd, fd, notes);
    }
    int error = 0;
    if (!WriteAll(fs, fd, bytes, error)) return Fail(FileStep::Write, error);
    if (fs.Sync(FileStep::Sync, fd) != 0) return Fail(FileStep::Sync, errno);
    if (!ReadsBackAs(fs, temporary.name.path(), bytes, error)) {
        return Fail(FileStep::ReadBack, error);
    }
    return Status(WriteStatus::Ok);
}

int SyncDirectory(FileSystem& fs, const std::string& directory) {
    Fd fd(fs.Open(FileStep::SyncDirectory, directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
    if (fd.get() < 0) return errno;
    return fs.Sync(FileStep::SyncDirectory, fd.get()) == 0 ? 0 : errno;
}

bool LinkUnsupported(int error) noexcept {
    return error == EPERM || error == EOPNOTSUPP || error == EXDEV || error == ENOSYS ||
           error == EMLINK;
}

// A folder where files can be added but not removed or renamed (chattr +a,
// +i) would keep every temporary file: refused before anything is created.
bool Removable(FileSystem& fs, const std::string& directory, int& error) {
    long flags = 0;
    if (fs.InodeFlags(directory, flags) != 0) {
        error = errno;
        return false;
    }
    if ((flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0) {
        error = EPERM;
        return false;
    }
    return true;
}

enum class PlanCheck { Holds, DoesNotLoad, Differs };

// The start of the lines `a` and `b` share: the offset just after the last
// LF of their common prefix (0 when there is none).
std::size_t SharedLines(std::string_view a, std::string_view b) noexcept {
    constexpr std::size_t kBlock = 4096;  // compared with memcmp, then byte by byte
    const std::size_t size = std::min(a.size(), b.size());
    std::size_t common = 0;
    while (common + kBlock <= size &&
           std::memcmp(a.data() + common, b.data() + common, kBlock) == 0) {
        common += kBlock;
    }
    while (common < size && a[common] == b[common]) ++common;
    const std::size_t lf = common == 0 ? std::string_view::npos : a.rfind('\n', common - 1);
    return lf == std::string_view::npos ? 0 : lf + 1;
}

// Checks the plan's content against the history it was made from, reading
// each new line as the reader does but keeping no record of it. The lines at
// the start that are byte for byte the old ones read as they did.
PlanCheck CheckPlan(const HistoryImage& old, const EditPlan& plan, const HistoryLimits& limits) {
    const std::string_view bytes = plan.bytes;
    if (bytes.empty() || bytes.size() > limits.maxFileBytes) return PlanCheck::DoesNotLoad;
    const std::size_t shared = SharedLines(old.bytes, bytes);
    // The old draws whose whole line, LF included, lies in the shared part.
    std::size_t reused = 0;
    while (reused < old.draws.size() &&
           std::size_t{old.draws[reused].begin} + old.draws[reused].length < shared) {
        ++reused;
    }
    // A content that does not load is told apart from one that differs, so
    // the lines are read to the end either way.
    bool differs = false;
    std::size_t next = 0;  // plan.changed is in index order
    for (; next < plan.changed.size() && plan.changed[next].index < reused; ++next) {
        const ExpectedDraw& want = plan.changed[next];
        const DrawRecord& had = old.draws[want.index];
        differs = differs || had.number != want.number || had.result != want.result;
    }
    const std::size_t appendedFrom = old.draws.size();
    DrawLineCursor cursor(limits, bytes, shared);
    DrawRecord got;
    std::int32_t first = 0;
    std::size_t i = reused;
    for (;; ++i) {
        const DrawLineCursor::Step step = cursor.Next(got, first);
        if (step == DrawLineCursor::Step::End) break;
        if (step == DrawLineCursor::Step::Refused || i >= limits.maxDraws) {
            return PlanCheck::DoesNotLoad;
        }
        if (differs) continue;
        ExpectedDraw want;
        if (next < plan.changed.size() && plan.changed[next].index == i) {
            want = plan.changed[next++];
        } else if (i < appendedFrom) {
            want = {i, old.draws[i].number, old.draws[i].result};
        } else if (i - appendedFrom < plan.appendedCount && plan.appendedDraw) {
            want = plan.appendedDraw(i - appendedFrom);
        } else {
            differs = true;
            continue;
        }
        differs = got.number != want.number || got.result != want.result;
    }
    if (differs || i != plan.drawCount || next != plan.changed.size()) return PlanCheck::Differs;
    return PlanCheck::Holds;
}

// Takes the lock on `fd`, waiting at most `wait.limit` and telling
// `wait.waiting` once when it has to wait. `told` carries over re-opens.
WriteOutcome TakeLock(FileSystem& fs, int fd, const LockWait& wait, bool& told,
                      std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (fs.Flock(FileStep::Lock, fd, LOCK_EX | LOCK_NB) == 0) return Status(WriteStatus::Ok);
        if (errno != EWOULDBLOCK) return Fail(FileStep::Lock, errno);
        const auto now = std::chrono::steady_clock::now();
        if (wait.limit.count() <= 0 || now >= deadline) return Status(WriteStatus::Locked);
        if (!told) {
            told = true;
            if (wait.waiting) wait.waiting();
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kLockPoll, deadline - now));
    }
}

WriteOutcome Update(FileSystem& fs, const std::string& path, const HistoryEdit& edit, bool dryRun,
                    const HistoryLimits& limits, const LockWait& wait) {
    std::string target;
    if (fs.RealPath(path, target) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Status(WriteStatus::NotFound);
        return Fail(FileStep::OpenHistory, errno);
    }
    std::string directory;
    std::string name;
    SplitPath(target, directory, name);

    const auto deadline = std::chrono::steady_clock::now() + std::max(wait.limit, {});
    bool told = false;
    Fd lock;
    struct stat read {};
    for (int attempt = 0;; ++attempt) {
        if (attempt == kMaxAttempts) return Status(WriteStatus::Changed);
        lock.Reset(fs.Open(FileStep::OpenHistory, target,
                           O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0));
        if (lock.get() < 0) {
            if (errno == ENOENT)
                return Status(attempt == 0 ? WriteStatus::NotFound : WriteStatus::Changed);
            return Fail(FileStep::OpenHistory, errno);
        }
        if (fs.Fstat(FileStep::OpenHistory, lock.get(), read) != 0) {
            return Fail(FileStep::OpenHistory, errno);
        }
        if (!S_ISREG(read.st_mode)) return Status(WriteStatus::NotRegular);
        if (WriteOutcome locked = TakeLock(fs, lock.get(), wait, told, deadline);
            locked.status != WriteStatus::Ok) {
            return locked;
        }
        struct stat now {};
        if (fs.Stat(FileStep::OpenHistory, target, now) == 0) {
            if (SameFile(now, read)) break;
        } else if (errno != ENOENT) {
            return Fail(FileStep::OpenHistory, errno);
        }
    }
    // Taken again under the lock: the file may have changed while we waited.
    if (fs.Fstat(FileStep::OpenHistory, lock.get(), read) != 0) {
        return Fail(FileStep::OpenHistory, errno);
    }
    if (static_cast<std::uintmax_t>(read.st_size) > limits.maxFileBytes) {
        return Status(WriteStatus::Unreadable);
    }

    HistoryImage old;
    old.bytes.resize(static_cast<std::size_t>(read.st_size));
    std::size_t done = 0;
    while (done < old.bytes.size()) {
        const ssize_t got = fs.Read(FileStep::ReadHistory, lock.get(), old.bytes.data() + done,
                                    old.bytes.size() - done);
        if (got < 0) return Fail(FileStep::ReadHistory, errno);
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    old.bytes.resize(done);
    if (!ReadHistoryImage(limits, old)) return Status(WriteStatus::Unreadable);
    const std::size_t readLength = old.bytes.size();
    const bool reread = readLength <= kRereadLimit;
    const std::uint64_t readHash = reread ? Hash(old.bytes) : 0;

    EditPlan plan;
    if (!edit(old, plan)) return Status(WriteStatus::Refused);
    if (plan.bytes.size() > limits.maxFileBytes || plan.drawCount > limits.maxDraws) {
        return Status(WriteStatus::TooLarge);
    }
    switch (CheckPlan(old, plan, limits)) {
        case PlanCheck::Holds:
            break;
        case PlanCheck::DoesNotLoad:
            return Status(WriteStatus::PlanDoesNotLoad);
        case PlanCheck::Differs:
            return Status(WriteStatus::PlanDiffers);
    }
    if (dryRun) return Status(WriteStatus::Ok);
    if ((read.st_mode & 0222) == 0) return Status(WriteStatus::ReadOnly);
    if (fs.Access(target, W_OK) != 0) {
        if (errno == EACCES || errno == EROFS || errno == EPERM) {
            return Status(WriteStatus::ReadOnly);
        }
        return Fail(FileStep::Access, errno);
    }
    old = HistoryImage{};  // no longer needed: lowers the peak while the new file is written

    // Where the rename will be refused, refuse before anything is created.
    struct stat folder {};
    if (fs.Stat(FileStep::Rename, directory, folder) != 0) return Fail(FileStep::Rename, errno);
    if ((folder.st_mode & S_ISVTX) != 0 && ::geteuid() != 0 && read.st_uid != ::geteuid() &&
        folder.st_uid != ::geteuid()) {
        return Fail(FileStep::Rename, EPERM);  // a sticky folder: only the owners may replace it
    }
    if (int error = 0; !Removable(fs, directory, error)) {
        WriteOutcome failed = Fail(FileStep::Create, error);
        failed.folder = directory;
        return failed;
    }

    RemoveStaleFiles(fs, directory, name, &read);
    WriteOutcome outcome = Status(WriteStatus::Ok);
    Temporary temporary(fs);
    if (WriteOutcome written = WriteTemporary(fs, directory, name, plan.bytes, 0600, &read,
                                              lock.get(), temporary, outcome);
        written.status != WriteStatus::Ok) {
        return written;
    }

    // The history must still be the file that was read, byte for byte.
    struct stat now {};
    if (fs.Stat(FileStep::Verify, target, now) != 0) {
        if (errno == ENOENT) return Status(WriteStatus::Changed);
        return Fail(FileStep::Verify, errno);
    }
    if (!Unchanged(now, read)) return Status(WriteStatus::Changed);
    if (reread) {
        if (::lseek(lock.get(), 0, SEEK_SET) != 0) return Fail(FileStep::Verify, errno);
        std::string again(readLength + 1, '\0');
        std::size_t got = 0;
        for (;;) {
            const ssize_t n =
                fs.Read(FileStep::Verify, lock.get(), again.data() + got, again.size() - got);
            if (n < 0) return Fail(FileStep::Verify, errno);
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
            if (got == again.size()) break;
        }
        again.resize(got);
        if (got != readLength || Hash(again) != readHash) return Status(WriteStatus::Changed);
    }

    ScratchName backup(fs);
    const std::string backupPath = Joined(directory, UniqueName(name, "old"));
    if (fs.Link(FileStep::Link, target, backupPath) == 0) {
        backup.Set(backupPath);
    } else if (errno == ENOENT) {
        return Status(WriteStatus::Changed);  // replaced or removed since the look
    } else if (!LinkUnsupported(errno)) {
        return Fail(FileStep::Link, errno);
    }
    outcome.notes.reserve(outcome.notes.size() + 1);  // nothing to allocate once it is in place
    if (fs.Rename(FileStep::Rename, temporary.name.path(), target) != 0) {
        return Fail(FileStep::Rename, errno);
    }
    temporary.name.Keep();
    if (read.st_nlink > 1) {
        outcome.notes.push_back({WriteNote::Kind::OtherNamesKeepOld, {}, 0, read.st_nlink - 1});
    }
    if (const int error = SyncDirectory(fs, directory); error != 0) {
        // The old file is put back, so a failed write never leaves the new one.
        if (!backup.path().empty() && fs.Rename(FileStep::PutBack, backup.path(), target) == 0) {
            backup.Keep();
            return Fail(FileStep::SyncDirectory, error);
        }
        outcome.status = WriteStatus::Unconfirmed;
        outcome.step = FileStep::SyncDirectory;
        outcome.error = error;
    }
    return outcome;
}

// Puts the temporary file at `path` only if the name is free: a hard link
// where the file system has them, else a rename that does not replace, else
// (a file system with neither) a rename after a last look.
WriteOutcome Place(FileSystem& fs, Temporary& temporary, const std::string& path) {
    if (fs.Link(FileStep::Place, temporary.name.path(), path) == 0) return Status(WriteStatus::Ok);
    if (errno == EEXIST) return Status(WriteStatus::Exists);
    if (!LinkUnsupported(errno)) return Fail(FileStep::Place, errno);
    if (fs.RenameNoReplace(temporary.name.path(), path) == 0) {
        temporary.name.Keep();
        return Status(WriteStatus::Ok);
    }
    if (errno == EEXIST) return Status(WriteStatus::Exists);
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return Fail(FileStep::Place, errno);
    }
    struct stat info {};
    if (fs.Lstat(FileStep::Place, path, info) == 0) return Status(WriteStatus::Exists);
    if (errno != ENOENT) return Fail(FileStep::Place, errno);
    if (fs.Rename(FileStep::Place, temporary.name.path(), path) != 0) {
        return Fail(FileStep::Place, errno);
    }
    temporary.name.Keep();
    return Status(WriteStatus::Ok);
}

WriteOutcome Create(FileSystem& fs, const std::string& path, const std::string& bytes) {
    struct stat info {};
    if (fs.Lstat(FileStep::OpenHistory, path, info) == 0) return Status(WriteStatus::Exists);
    if (errno == ENOTDIR) return Status(WriteStatus::NotFound);
    if (errno != ENOENT) return Fail(FileStep::OpenHistory, errno);
    std::string directory;
    std::string name;
    SplitPath(path, directory, name);
    if (name.empty()) return Status(WriteStatus::NotRegular);
    if (int error = 0; !Removable(fs, directory, error)) {
        if (error == ENOENT || error == ENOTDIR) return Status(WriteStatus::NotFound);
        if (error == EROFS) return Status(WriteStatus::ReadOnly);
        WriteOutcome failed = Fail(FileStep::Create, error);
        failed.folder = directory;
        return failed;
    }
    RemoveStaleFiles(fs, directory, name, nullptr);
    Temporary temporary(fs);
    WriteOutcome outcome = Status(WriteStatus::Ok);
    if (WriteOutcome written =
            WriteTemporary(fs, directory, name, bytes, 0666, nullptr, -1, temporary, outcome);
        written.status != WriteStatus::Ok) {
        if (written.step == FileStep::Create && written.error == EROFS) {
            return Status(WriteStatus::ReadOnly);
        }
        return written;
    }
    if (WriteOutcome placed = Place(fs, temporary, path); placed.status != WriteStatus::Ok) {
        return placed;
    }
    ScratchName placed(fs);
    placed.Set(path);
    if (const int error = SyncDirectory(fs, directory); error != 0) {
        // Taken away again: a new history that is not surely on the disk is not there.
        if (fs.Unlink(FileStep::PutBack, path) == 0) {
            placed.Keep();
            return Fail(FileStep::SyncDirectory, error);
        }
        placed.Keep();
        outcome.status = WriteStatus::Unconfirmed;
        outcome.step = FileStep::SyncDirectory;
        outcome.error = error;
        return outcome;
    }
    placed.Keep();
    return outcome;
}

WriteOutcome Caught(std::exception_ptr error) noexcept {
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::bad_alloc&) {
        return Status(WriteStatus::OutOfMemory);
    } catch (...) {
        return Status(WriteStatus::Internal);
    }
}

}  // namespace

std::string TemporaryPrefix(const std::string& historyName) {
    // ".", the name, the marker, the kind and the suffix fit NAME_MAX.
    constexpr std::size_t kRoom = NAME_MAX - 1 - kMarker.size() - kKindAndSuffix;
    return "." + historyName.substr(0, kRoom) + std::string(kMarker);
}

WriteOutcome UpdateHistory(FileSystem& fs, const std::string& path, const HistoryEdit& edit,
                           bool dryRun, const HistoryLimits& limits,
                           const LockWait& wait) noexcept {
    try {
        return Update(fs, path, edit, dryRun, limits, wait);
    } catch (...) {
        return Caught(std::current_exception());
    }
}

WriteOutcome CreateHistory(FileSystem& fs, const std::string& path,
                           const std::string& bytes) noexcept {
    try {
        return Create(fs, path, bytes);
    } catch (...) {
        return Caught(std::current_exception());
    }
}

}  // namespace corvalith
