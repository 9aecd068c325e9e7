// A per-user named lock that marks "one copy of the program runs": flock()
// on a file in the user's runtime directory. The kernel drops the lock when
// the holding process ends in any way, SIGKILL included, so a crashed copy
// never blocks the next start.
//
// Without a usable runtime directory (unset, missing, not writable) the lock
// lives in a shared temporary directory under a name with the user id. Such
// a name can be taken by anyone, so a file there is used only when it is a
// regular file of this user (not a symlink, never opened otherwise); when
// the name is taken, a private directory of the user (mode 0700) holds the
// lock instead; when that is taken too, the program runs without a lock. A
// file of another user never keeps the program from starting.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/window_services.h"

namespace corvalith {

// The shared temporary directory of the fallback places.
inline constexpr std::string_view kSharedTempDir = "/tmp";

// Where the lock named `name` lives first: $XDG_RUNTIME_DIR/NAME.lock when
// that is an absolute directory path, otherwise TEMP/NAME-UID.lock.
[[nodiscard]] std::string InstanceLockPath(std::string_view name,
                                           std::string_view tempDir = kSharedTempDir);

// Every place tried, in order: $XDG_RUNTIME_DIR/NAME.lock (when absolute),
// TEMP/NAME-UID.lock, TEMP/NAME-UID.d/NAME.lock. UID is the effective user id.
[[nodiscard]] std::vector<std::string> InstanceLockPlaces(
    std::string_view name, std::string_view tempDir = kSharedTempDir);

class InstanceLock {
  public:
    // Takes the first usable place of InstanceLockPlaces (creating the file
    // when missing, mode 0600, O_CLOEXEC, no symlink following) and tries to
    // lock it without waiting.
    explicit InstanceLock(std::string_view name, std::string_view tempDir = kSharedTempDir);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    [[nodiscard]] LockState state() const noexcept { return state_; }
    // The file locked or found locked; empty when Unavailable.
    [[nodiscard]] const std::string& path() const noexcept { return path_; }

    // Drops the lock (if held) and closes the file. Safe to call twice.
    void Release() noexcept;

  private:
    int fd_ = -1;
    LockState state_ = LockState::Unavailable;
    std::string path_;
};

}  // namespace corvalith
