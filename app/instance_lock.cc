// The flock()-based single-instance lock.
#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace corvalith {

std::string InstanceLockPath(std::string_view name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &info) == 0 &&
        S_ISDIR(info.st_mode)) {
        return std::string(runtime) + "/" + std::string(name) + ".lock";
    }
    return "/tmp/" + std::string(name) + "-" + std::to_string(::getuid()) + ".lock";
}

InstanceLock::InstanceLock(std::string_view name) {
    const std::string path = InstanceLockPath(name);
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        state_ = LockState::Unavailable;
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        state_ = LockState::Held;
        return;
    }
    state_ = (errno == EWOULDBLOCK) ? LockState::HeldElsewhere : LockState::Unavailable;
    ::close(fd_);
    fd_ = -1;
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
