#include "base/file_bytes.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>
#include <set>

namespace vantu {
namespace {

// Symlink chains longer than this are loops, as the kernel counts them.
constexpr int kMaxSymlinkHops = 40;
// Tries at fresh temporary names before a save gives up.
constexpr int kNameAttempts = 16;
constexpr std::string_view kTemporaryMark = ".saving-";
// A new file: readable by all, as an editor would make it (the umask applies).
constexpr mode_t kNewFileMode = 0644;

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

// What a read takes of a file longer than its bound: nothing, or the bytes up to it.
enum class Overlong { kRefused, kCut };

bool FitsAsStoredFile(const struct stat& file, std::size_t max_bytes, Overlong overlong,
                      std::string& error) {
    if (!S_ISREG(file.st_mode)) {
        error = S_ISDIR(file.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        return false;
    }
    if (overlong == Overlong::kRefused && static_cast<std::uintmax_t>(file.st_size) > max_bytes) {
        error = "larger than " + std::to_string(max_bytes) + " bytes";
        return false;
    }
    return true;
}

// At most max_bytes: a file that grows while it is read is refused like a large one.
std::optional<std::string> ReadUpTo(int fd, std::size_t max_bytes, Overlong overlong,
                                    std::string& error) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
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
        if (bytes.size() + static_cast<std::size_t>(n) > max_bytes && overlong == Overlong::kCut) {
            bytes.append(buffer, max_bytes - bytes.size());
            return bytes;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > max_bytes) {
            error = "larger than " + std::to_string(max_bytes) + " bytes";
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

// "<target>.saving-<pid>-<random>": the pid tells a stale temporary from a live one.
std::string UniqueName(const std::filesystem::path& target) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%d-%08x", static_cast<int>(::getpid()),
                  std::random_device{}());
    return target.string() + std::string(kTemporaryMark) + suffix;
}

std::filesystem::path DirectoryOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : ".";
}

struct Temporary {
    int fd = -1;
    // Empty while the file has no name yet.
    std::string name;
};

// The new content's file. Unnamed where the file system allows, so a save killed
// half-way leaves nothing behind; else a fresh name created exclusively, so a planted
// file or link under that name is never written through.
Temporary CreateTemporary(const std::filesystem::path& target) {
    const int fd =
        ::open(DirectoryOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR)) {
        return {fd, {}};
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = UniqueName(target);
        const int named = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                 kNewFileMode);
        if (named >= 0 || errno != EEXIST) {
            return {named, named >= 0 ? std::move(name) : std::string()};
        }
    }
    return {};
}

// Temporaries whose saving process is gone: killed between naming its file and the
// rename. A live process's temporary is left to it.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
    namespace fs = std::filesystem;
    const std::string prefix = target.filename().string() + std::string(kTemporaryMark);
    std::error_code code;
    for (fs::directory_iterator it(DirectoryOf(target), code); !code && it != fs::end(it);
         it.increment(code)) {
        const std::string name = it->path().filename().string();
        const int pid = name.starts_with(prefix) ? std::atoi(name.c_str() + prefix.size()) : 0;
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) {
            ::unlink(it->path().c_str());
        }
    }
}

// Names the unnamed file beside the target; linkat never replaces or follows an
// existing name.
std::optional<std::string> LinkUnique(int fd, const std::filesystem::path& target) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = UniqueName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return name;
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes,
                                           Overlong overlong, std::string& error) {
    // Looked at before it is opened, so that opening a device has no effect on it.
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) {
        KeepReason(error);
        return std::nullopt;
    }
    if (!FitsAsStoredFile(before, max_bytes, overlong, error)) {
        return std::nullopt;
    }
    // Non-blocking: a FIFO put there after the look would otherwise wait for a writer.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (file.get() < 0 || ::fstat(file.get(), &opened) != 0) {
        KeepReason(error);
        return std::nullopt;
    }
    if (!FitsAsStoredFile(opened, max_bytes, overlong, error)) {
        return std::nullopt;
    }
    return ReadUpTo(file.get(), max_bytes, overlong, error);
}

// setup.ini is read by every part that keeps settings in it: its refusal is named once.
void NameRefusalOnce(const std::string& path, const std::string& error) {
    static std::mutex mutex;
    static std::set<std::string> named;
    const std::lock_guard lock(mutex);
    if (named.insert(path + ": " + error).second) {
        std::fprintf(stderr, "vantu: %s: %s\n", path.c_str(), error.c_str());
    }
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, std::string& error,
                                         std::size_t max_bytes) {
    return ReadRegularFile(path, max_bytes, Overlong::kRefused, error);
}

std::optional<std::string> ReadFileHead(const std::string& path, std::size_t max_bytes,
                                        std::string& error) {
    return ReadRegularFile(path, max_bytes, Overlong::kCut, error);
}

std::optional<std::string> ReadStoredFile(const std::string& path, std::size_t max_bytes) {
    std::string error;
    std::optional<std::string> bytes = ReadFileBytes(path, error, max_bytes);
    struct stat link {};
    if (!bytes && ::lstat(path.c_str(), &link) == 0) {
        NameRefusalOnce(path, error);
    }
    return bytes;
}

bool ReplaceFileBytes(const std::string& path, std::string_view bytes) {
    const std::optional<std::filesystem::path> target = FinalTarget(path);
    if (!target) {
        return false;
    }
    struct stat existing {};
    const bool exists = ::lstat(target->c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    if (exists &&
        (!S_ISREG(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
         ::access(target->c_str(), W_OK) != 0)) {
        return false;
    }

    Temporary temp = CreateTemporary(*target);
    FileDescriptor file(temp.fd);
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
    if (ok && temp.name.empty()) {
        temp.name = LinkUnique(file.get(), *target).value_or("");
        ok = !temp.name.empty();
    }
    // Renamed as soon as it has a name, so a named temporary lives for moments only.
    ok = ok && std::rename(temp.name.c_str(), target->c_str()) == 0;
    ok = file.Close() && ok;
    if (!ok && !temp.name.empty()) {
        ::unlink(temp.name.c_str());
    }
    RemoveStaleTemporaries(*target);
    return ok;
}

}  // namespace vantu
