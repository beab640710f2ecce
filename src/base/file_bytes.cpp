#include "base/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace vantu {
namespace {

// Symlink chains longer than this are loops, as the kernel counts them.
constexpr int kMaxSymlinkHops = 40;

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now, so that a failing close counts as a failed write.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

void KeepReason(std::string& error) {
    error = std::strerror(errno);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The file a path names once every symlink on the way is followed; the path itself
// when it does not exist yet.
std::optional<std::filesystem::path> FinalTarget(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path target = path;
    std::error_code code;
    for (int hop = 0; fs::is_symlink(fs::symlink_status(target, code)); ++hop) {
        const fs::path link = fs::read_symlink(target, code);
        if (code || hop == kMaxSymlinkHops) {
            return std::nullopt;
        }
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target;
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, std::string& error) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        KeepReason(error);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            KeepReason(error);
            return std::nullopt;
        }
        if (n == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

bool ReplaceFileBytes(const std::string& path, std::string_view bytes) {
    const std::optional<std::filesystem::path> target = FinalTarget(path);
    if (!target) {
        return false;
    }
    struct stat existing {};
    const bool exists = ::stat(target->c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    if (exists && ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                   ::access(target->c_str(), W_OK) != 0)) {
        return false;
    }

    const std::string temp = target->string() + ".saving";
    FileDescriptor file(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.get() < 0) {
        return false;
    }
    bool ok = WriteAll(file.get(), bytes);
    // Owner first: a change of owner clears the set-id bits the mode then restores.
    if (ok && exists) {
        ok = ::fchown(file.get(), existing.st_uid, existing.st_gid) == 0 &&
             ::fchmod(file.get(), existing.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(file.get()) == 0;
    ok = file.Close() && ok;
    ok = ok && std::rename(temp.c_str(), target->c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
    }
    return ok;
}

}  // namespace vantu
