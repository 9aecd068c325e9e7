// The system calls themselves; EINTR is retried where a call can see it.
#include "history/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace corvalith {
namespace {

// Size-then-fetch for the xattr calls, retried when the value grew meanwhile.
template <typename Call>
int Fetched(std::string& out, Call call) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0) return -1;
        out.assign(static_cast<std::size_t>(size), '\0');
        if (size == 0) return 0;
        const ssize_t got = call(out.data(), out.size());
        if (got >= 0) {
            out.resize(static_cast<std::size_t>(got));
            return 0;
        }
        if (errno != ERANGE) return -1;
    }
    errno = ERANGE;
    return -1;
}

}  // namespace

int FileSystem::Open(FileStep, const std::string& path, int flags, mode_t mode) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

ssize_t FileSystem::Read(FileStep, int fd, void* buffer, std::size_t size) {
    ssize_t got;
    do {
        got = ::read(fd, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

ssize_t FileSystem::Write(FileStep, int fd, const void* buffer, std::size_t size) {
    ssize_t put;
    do {
        put = ::write(fd, buffer, size);
    } while (put < 0 && errno == EINTR);
    return put;
}

int FileSystem::Sync(FileStep, int fd) { return ::fsync(fd); }

int FileSystem::Fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }

int FileSystem::Fchown(int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); }

int FileSystem::Link(FileStep, const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str());
}

int FileSystem::Rename(FileStep, const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}

int FileSystem::RenameNoReplace(const std::string& from, const std::string& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
}

int FileSystem::Unlink(FileStep, const std::string& path) { return ::unlink(path.c_str()); }

int FileSystem::Stat(FileStep, const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info);
}

int FileSystem::Lstat(FileStep, const std::string& path, struct stat& info) {
    return ::lstat(path.c_str(), &info);
}

int FileSystem::Fstat(FileStep, int fd, struct stat& info) { return ::fstat(fd, &info); }

int FileSystem::RealPath(const std::string& path, std::string& resolved) {
    std::array<char, PATH_MAX> buffer{};
    if (::realpath(path.c_str(), buffer.data()) == nullptr) return -1;
    resolved = buffer.data();
    return 0;
}

int FileSystem::Flock(FileStep, int fd, int operation) {
    int rc;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

int FileSystem::Access(const std::string& path, int mode) { return ::access(path.c_str(), mode); }

int FileSystem::ListDirectory(const std::string& directory, std::vector<std::string>& names) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return -1;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    const int error = errno;
    ::closedir(dir);
    errno = error;
    return error == 0 ? 0 : -1;
}

int FileSystem::InodeFlags(const std::string& path, long& flags) {
    flags = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -1;
    int value = 0;
    const int rc = ::ioctl(fd, FS_IOC_GETFLAGS, &value);
    const int error = errno;
    ::close(fd);
    if (rc != 0) {
        // A file system without inode flags has none to keep.
        if (error == ENOTTY || error == EOPNOTSUPP || error == EINVAL || error == ENOSYS) return 0;
        errno = error;
        return -1;
    }
    flags = value;
    return 0;
}

int FileSystem::ListAttributes(int fd, std::string& names) {
    return Fetched(names,
                   [fd](char* buffer, std::size_t size) { return ::flistxattr(fd, buffer, size); });
}

int FileSystem::GetAttribute(int fd, const std::string& name, std::string& value) {
    return Fetched(value, [fd, &name](char* buffer, std::size_t size) {
        return ::fgetxattr(fd, name.c_str(), buffer, size);
    });
}

int FileSystem::SetAttribute(int fd, const std::string& name, const std::string& value) {
    return ::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0);
}

FileSystem& SystemFileSystem() noexcept {
    static FileSystem system;
    return system;
}

}  // namespace corvalith
