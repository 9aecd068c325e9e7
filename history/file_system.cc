// The system calls themselves; EINTR is retried where a call can see it.
#include "history/file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace corvalith {

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

int FileSystem::Link(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str());
}

int FileSystem::Rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}

int FileSystem::Stat(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info);
}

FileSystem& SystemFileSystem() noexcept {
    static FileSystem system;
    return system;
}

}  // namespace corvalith
