// The steps of a safe write. The history stays open and locked (flock) from
// the read to the rename; because the rename replaces the file, a writer that
// waited for the lock re-opens the path and starts again when the path no
// longer names the file it locked. Before the rename the old file gets a
// second name, so that a failed directory flush can put it back.
#include "history/safe_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>

namespace corvalith {
namespace {

constexpr int kMaxAttempts = 100;  // re-opens after the history was replaced meanwhile
constexpr std::size_t kChunk = std::size_t{64} * 1024;

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
    ScratchName() = default;
    ~ScratchName() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    ScratchName(const ScratchName&) = delete;
    ScratchName& operator=(const ScratchName&) = delete;
    void Set(std::string path) { path_ = std::move(path); }
    void Keep() noexcept { path_.clear(); }
    [[nodiscard]] const std::string& path() const noexcept { return path_; }

  private:
    std::string path_;
};

WriteOutcome Fail(FileStep step, int error) { return {WriteStatus::Failed, step, error}; }
WriteOutcome Status(WriteStatus status) { return {status, FileStep::OpenHistory, 0}; }

bool SameFile(const struct stat& a, const struct stat& b) noexcept {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool Unchanged(const struct stat& a, const struct stat& b) noexcept {
    return SameFile(a, b) && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
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
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    return TemporaryPrefix(name) + kind + "-" + std::to_string(::getpid()) + "-" + suffix;
}

// Removes the writer's files beside `name` left by processes that are gone.
void RemoveStaleFiles(const std::string& directory, const std::string& name) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return;
    const std::string prefix = TemporaryPrefix(name);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view file = entry->d_name;
        if (file.rfind(prefix, 0) != 0) continue;
        std::string_view rest = file.substr(prefix.size());
        if (rest.rfind("tmp-", 0) != 0 && rest.rfind("old-", 0) != 0) continue;
        rest.remove_prefix(4);
        const long pid =
            std::strtol(std::string(rest.substr(0, rest.find('-'))).c_str(), nullptr, 10);
        if (pid <= 0 || pid > INT_MAX) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;  // still running
        ::unlink(Joined(directory, std::string(file)).c_str());
    }
    ::closedir(dir);
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

// Writes `bytes` to a new temporary file in `directory`, flushed and read back.
WriteOutcome WriteTemporary(FileSystem& fs, const std::string& directory, const std::string& name,
                            const std::string& bytes, mode_t createMode, const struct stat* like,
                            ScratchName& temporary) {
    const std::string path = Joined(directory, UniqueName(name, "tmp"));
    Fd fd(fs.Open(FileStep::Create, path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                  createMode));
    if (fd.get() < 0) return Fail(FileStep::Create, errno);
    temporary.Set(path);
    if (like != nullptr) {
        if (fs.Fchmod(fd.get(), like->st_mode & 07777) != 0) {
            return Fail(FileStep::Permissions, errno);
        }
        // Owner and group where allowed; an ordinary user cannot give files away.
        if (::fchown(fd.get(), like->st_uid, like->st_gid) != 0) {
            // Not the owner's: at least the group, else this user's own.
            if (::fchown(fd.get(), static_cast<uid_t>(-1), like->st_gid) != 0) errno = 0;
            (void)fs.Fchmod(fd.get(), like->st_mode & 07777);
        }
    }
    int error = 0;
    if (!WriteAll(fs, fd.get(), bytes, error)) return Fail(FileStep::Write, error);
    if (fs.Sync(FileStep::Sync, fd.get()) != 0) return Fail(FileStep::Sync, errno);
    fd.Reset();
    if (!ReadsBackAs(fs, path, bytes, error)) return Fail(FileStep::ReadBack, error);
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

WriteOutcome Update(FileSystem& fs, const std::string& path, const HistoryEdit& edit, bool dryRun,
                    const HistoryLimits& limits) {
    char resolvedBuffer[PATH_MAX];
    if (::realpath(path.c_str(), resolvedBuffer) == nullptr) {
        if (errno == ENOENT || errno == ENOTDIR) return Status(WriteStatus::NotFound);
        return Fail(FileStep::OpenHistory, errno);
    }
    const std::string target = resolvedBuffer;
    std::string directory;
    std::string name;
    SplitPath(target, directory, name);

    Fd lock;
    struct stat read {};
    for (int attempt = 0;; ++attempt) {
        if (attempt == kMaxAttempts) return Status(WriteStatus::Changed);
        lock.Reset(fs.Open(FileStep::OpenHistory, target,
                           O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0));
        if (lock.get() < 0) {
            if (errno == ENOENT) return Status(WriteStatus::NotFound);
            return Fail(FileStep::OpenHistory, errno);
        }
        if (::fstat(lock.get(), &read) != 0) return Fail(FileStep::OpenHistory, errno);
        if (!S_ISREG(read.st_mode)) return Status(WriteStatus::NotRegular);
        int rc;
        do {
            rc = ::flock(lock.get(), LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) return Fail(FileStep::OpenHistory, errno);
        struct stat now {};
        if (fs.Stat(target, now) == 0 && SameFile(now, read)) break;
    }
    // Taken again under the lock: the file may have changed while we waited.
    if (::fstat(lock.get(), &read) != 0) return Fail(FileStep::OpenHistory, errno);
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

    EditPlan plan;
    if (!edit(old, plan)) return Status(WriteStatus::Refused);
    if (plan.bytes.size() > limits.maxFileBytes || plan.drawCount > limits.maxDraws) {
        return Status(WriteStatus::TooLarge);
    }
    switch (CheckPlan(old, plan, limits)) {
        case PlanCheck::Holds:
            break;
        case PlanCheck::DoesNotLoad:
            return Status(WriteStatus::TooLarge);
        case PlanCheck::Differs:
            return Fail(FileStep::Write, EINVAL);
    }
    if (dryRun) return Status(WriteStatus::Ok);
    if ((read.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
        return Status(WriteStatus::ReadOnly);
    }
    old = HistoryImage{};  // no longer needed: lowers the peak while the new file is written

    RemoveStaleFiles(directory, name);
    ScratchName temporary;
    const WriteOutcome written =
        WriteTemporary(fs, directory, name, plan.bytes, 0600, &read, temporary);
    if (written.status != WriteStatus::Ok) return written;

    struct stat now {};
    if (fs.Stat(target, now) != 0 || !Unchanged(now, read)) return Status(WriteStatus::Changed);

    ScratchName backup;
    const std::string backupPath = Joined(directory, UniqueName(name, "old"));
    if (fs.Link(target, backupPath) == 0) {
        backup.Set(backupPath);
    } else if (!LinkUnsupported(errno)) {
        return Fail(FileStep::Link, errno);
    }
    if (fs.Rename(temporary.path(), target) != 0) return Fail(FileStep::Rename, errno);
    temporary.Keep();
    if (const int error = SyncDirectory(fs, directory); error != 0) {
        // The old file is put back, so a failed write never leaves the new one.
        if (!backup.path().empty() && ::rename(backup.path().c_str(), target.c_str()) == 0) {
            backup.Keep();
        }
        return Fail(FileStep::SyncDirectory, error);
    }
    return Status(WriteStatus::Ok);
}

}  // namespace

std::string TemporaryPrefix(const std::string& historyName) {
    return "." + historyName + ".corvix-";
}

WriteOutcome UpdateHistory(FileSystem& fs, const std::string& path, const HistoryEdit& edit,
                           bool dryRun, const HistoryLimits& limits) noexcept {
    try {
        return Update(fs, path, edit, dryRun, limits);
    } catch (const std::bad_alloc&) {
        return Fail(FileStep::ReadHistory, ENOMEM);
    } catch (...) {
        return Fail(FileStep::Write, EIO);
    }
}

WriteOutcome CreateHistory(FileSystem& fs, const std::string& path,
                           const std::string& bytes) noexcept {
    try {
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0) return Status(WriteStatus::Exists);
        std::string directory;
        std::string name;
        SplitPath(path, directory, name);
        if (name.empty()) return Status(WriteStatus::NotRegular);
        RemoveStaleFiles(directory, name);
        ScratchName temporary;
        const WriteOutcome written =
            WriteTemporary(fs, directory, name, bytes, 0666, nullptr, temporary);
        if (written.status != WriteStatus::Ok) return written;
        // A hard link puts the file in place only if the name is still free.
        if (fs.Link(temporary.path(), path) != 0) {
            if (errno == EEXIST) return Status(WriteStatus::Exists);
            return Fail(FileStep::Link, errno);
        }
        ScratchName placed;
        placed.Set(path);
        if (const int error = SyncDirectory(fs, directory); error != 0) {
            return Fail(FileStep::SyncDirectory, error);
        }
        placed.Keep();
        return Status(WriteStatus::Ok);
    } catch (...) {
        return Fail(FileStep::Write, ENOMEM);
    }
}

}  // namespace corvalith
