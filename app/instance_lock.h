// A per-user named lock that marks "one copy of the program runs": flock()
// on a file in the user's runtime directory. The kernel drops the lock when
// the holding process ends in any way, SIGKILL included, so a crashed copy
// never blocks the next start.
#pragma once

#include <string>
#include <string_view>

#include "ui/window_services.h"

namespace corvalith {

// Where the lock named `name` lives: $XDG_RUNTIME_DIR/NAME.lock when that is
// an absolute directory path, otherwise /tmp/NAME-UID.lock.
[[nodiscard]] std::string InstanceLockPath(std::string_view name);

class InstanceLock {
  public:
    // Opens (creating when missing, mode 0600, O_CLOEXEC, no symlink
    // following) the lock file for `name` and tries to lock it without
    // waiting.
    explicit InstanceLock(std::string_view name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    [[nodiscard]] LockState state() const noexcept { return state_; }

    // Drops the lock (if held) and closes the file. Safe to call twice.
    void Release() noexcept;

  private:
    int fd_ = -1;
    LockState state_ = LockState::Unavailable;
};

}  // namespace corvalith
