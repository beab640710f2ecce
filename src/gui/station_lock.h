// The lock that lets one station drive the card. It is a file held with flock(2) for
// the life of the process, with the holder's user id and process id written in it;
// the kernel drops the lock when the holder dies, so a file left behind by a killed
// station never blocks the next start. Plain POSIX: flock is per machine and per
// file, where QLockFile guesses staleness from a process id and a host name.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace vantu {

struct LockHolder {
    uid_t uid = 0;
    pid_t pid = 0;
};

enum class LockResult {
    kAcquired,
    kHeld,    // another process holds it
    kFailed,  // the file could not be opened or locked
};

class StationLock {
  public:
    explicit StationLock(std::string path) : path_(std::move(path)) {}
    ~StationLock();
    StationLock(const StationLock&) = delete;
    StationLock& operator=(const StationLock&) = delete;

    LockResult Acquire();
    // After kHeld: the holder, when it had written its name.
    const std::optional<LockHolder>& holder() const { return holder_; }
    // After kFailed: the path and the system's reason.
    const std::string& error() const { return error_; }

  private:
    std::string path_;
    int fd_ = -1;
    std::optional<LockHolder> holder_;
    std::string error_;
};

// The machine-wide lock of the card: in /run/lock, or /tmp where that is missing.
std::string CardLockPath();

// Why a start must not go on while `holder` holds the lock, or nothing when the
// holder is this user's own station (which is then brought forward instead).
std::optional<std::string> StartRefusal(const std::optional<LockHolder>& holder, uid_t own_uid);

}  // namespace vantu
