#include "gui/station_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace vantu {
namespace {

// A holder writes its name right after taking the lock; a contender arriving in
// between waits this long for it.
constexpr int kHolderReadTries = 20;
constexpr auto kHolderReadPause = std::chrono::milliseconds(5);

// An existing file is opened without O_CREAT: in a sticky shared directory the kernel
// may refuse O_CREAT on a file that another user created.
int OpenLockFile(const std::string& path) {
    constexpr int kFlags = O_RDWR | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(path.c_str(), kFlags);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            // Whoever starts the next station, of any user, must be able to take it.
            ::fchmod(fd, 0666);
        } else if (errno == EEXIST) {
            fd = ::open(path.c_str(), kFlags);
        }
    }
    return fd;
}

std::optional<LockHolder> ReadHolder(int fd) {
    for (int attempt = 0; attempt < kHolderReadTries; ++attempt) {
        std::array<char, 64> text{};
        const ssize_t n = ::pread(fd, text.data(), text.size() - 1, 0);
        unsigned uid = 0;
        int pid = 0;
        if (n > 0 && std::sscanf(text.data(), "%u %d", &uid, &pid) == 2 && pid > 0) {
            return LockHolder{static_cast<uid_t>(uid), static_cast<pid_t>(pid)};
        }
        std::this_thread::sleep_for(kHolderReadPause);
    }
    return std::nullopt;
}

bool WriteHolder(int fd) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%u %d\n", static_cast<unsigned>(::getuid()),
                                static_cast<int>(::getpid()));
    return ::ftruncate(fd, 0) == 0 && ::pwrite(fd, text, static_cast<std::size_t>(n), 0) == n;
}

std::string UserText(uid_t uid) {
    if (const passwd* entry = ::getpwuid(uid)) {
        return entry->pw_name;
    }
    return std::to_string(uid);
}

}  // namespace

StationLock::~StationLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

LockResult StationLock::Acquire() {
    fd_ = OpenLockFile(path_);
    if (fd_ < 0) {
        error_ = path_ + ": " + std::strerror(errno);
        return LockResult::kFailed;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        if (WriteHolder(fd_)) {
            return LockResult::kAcquired;
        }
        error_ = path_ + ": " + std::strerror(errno);
    } else if (errno == EWOULDBLOCK) {
        holder_ = ReadHolder(fd_);
        ::close(fd_);
        fd_ = -1;
        return LockResult::kHeld;
    } else {
        error_ = path_ + ": " + std::strerror(errno);
    }
    ::close(fd_);
    fd_ = -1;
    return LockResult::kFailed;
}

std::string CardLockPath() {
    struct stat info {};
    const bool run_lock = ::stat("/run/lock", &info) == 0 && S_ISDIR(info.st_mode) &&
                          ::access("/run/lock", W_OK) == 0;
    return std::string(run_lock ? "/run/lock" : "/tmp") + "/vantu-pxiectrl.lock";
}

std::optional<std::string> StartRefusal(const std::optional<LockHolder>& holder, uid_t own_uid) {
    if (!holder) {
        return "vantu: the card is in use by another station";
    }
    if (holder->uid == own_uid) {
        return std::nullopt;
    }
    return "vantu: the card is in use by the station of user " + UserText(holder->uid) +
           " (process " + std::to_string(holder->pid) + ")";
}

}  // namespace vantu
