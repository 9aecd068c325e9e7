// The flock()-based single-instance lock.
#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace corvalith {
namespace {

std::string UserTag(std::string_view name) {
    return std::string(name) + "-" + std::to_string(::geteuid());
}

// True when `info` is a regular file (or directory, for `directory`) of this
// user that nobody else may write to.
bool IsOwn(const struct stat& info, bool directory) {
    const bool kind = directory ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode);
    return kind && info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Opens the lock file at `path` when it is missing (then created) or a
// regular file of this user; -1 otherwise. Another user's file, a symlink, a
// FIFO or a device is never opened; fstat catches a file swapped in between.
int OpenOwnFile(const std::string& path) {
    struct stat before {};
    const bool existed = ::lstat(path.c_str(), &before) == 0;
    if (existed && !IsOwn(before, false)) return -1;
    const int fd = ::open(path.c_str(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0) return -1;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !IsOwn(opened, false) ||
        (existed && (before.st_dev != opened.st_dev || before.st_ino != opened.st_ino))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Makes (mode 0700) or finds the private directory `path`; false when the
// name is taken by anything but this user's own private directory.
bool HavePrivateDir(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && IsOwn(info, true) &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

std::string PrivateDirOf(std::string_view name, std::string_view tempDir) {
    return std::string(tempDir) + "/" + UserTag(name) + ".d";
}

}  // namespace

std::string InstanceLockPath(std::string_view name, std::string_view tempDir) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &info) == 0 &&
        S_ISDIR(info.st_mode)) {
        return std::string(runtime) + "/" + std::string(name) + ".lock";
    }
    return std::string(tempDir) + "/" + UserTag(name) + ".lock";
}

std::vector<std::string> InstanceLockPlaces(std::string_view name, std::string_view tempDir) {
    std::vector<std::string> places;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        places.push_back(std::string(runtime) + "/" + std::string(name) + ".lock");
    }
    places.push_back(std::string(tempDir) + "/" + UserTag(name) + ".lock");
    places.push_back(PrivateDirOf(name, tempDir) + "/" + std::string(name) + ".lock");
    return places;
}

InstanceLock::InstanceLock(std::string_view name, std::string_view tempDir) {
    const std::string privateDir = PrivateDirOf(name, tempDir);
    for (const std::string& place : InstanceLockPlaces(name, tempDir)) {
        if (place.starts_with(privateDir + "/") && !HavePrivateDir(privateDir)) continue;
        const int fd = OpenOwnFile(place);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            state_ = LockState::Held;
            path_ = place;
            return;
        }
        const bool elsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        if (elsewhere) {
            // This user's own file, locked: another copy runs.
            state_ = LockState::HeldElsewhere;
            path_ = place;
            return;
        }
    }
    // No place at all: the program runs without the guard.
}

InstanceLock::~InstanceLock() { Release(); }

void InstanceLock::Release() noexcept {
    if (fd_ >= 0) {
        // Closing the only descriptor of the open file drops the flock.
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace corvalith
