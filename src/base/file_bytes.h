// Whole-file reads and writes that report why they failed instead of throwing or
// losing what the file was: a stream iterator throws when read(2) fails (a directory,
// an I/O error), and a plain rewrite drops the file's mode, owner and symlink.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantu {

// Stored files (setup.ini, simulation.ini, a replay log) are a few hundred KiB; this is
// far beyond any of them and still small enough to hold.
inline constexpr std::size_t kMaxStoredFileBytes = std::size_t{16} << 20;

// The file's bytes; nullopt with the system's reason in `error` when it cannot be read.
// Only a regular file of at most max_bytes is read: a FIFO, device or directory in its
// place is refused without waiting on it or reading it without end.
std::optional<std::string> ReadFileBytes(const std::string& path, std::string& error,
                                         std::size_t max_bytes = kMaxStoredFileBytes);

// The first max_bytes of a regular file (all of a shorter one), with the same refusals.
std::optional<std::string> ReadFileHead(const std::string& path, std::size_t max_bytes,
                                        std::string& error);

// The same as ReadFileBytes for a file the station reads at start-up: a file that exists but is
// refused is named on stderr with the reason, once for each reason; a missing file is silent.
std::optional<std::string> ReadStoredFile(const std::string& path,
                                          std::size_t max_bytes = kMaxStoredFileBytes);

// Makes bytes the new content of path, following symlinks to the file they name and
// keeping its mode and owner. The new content is written beside the file and renamed
// over it, so the file is either the old or the new one. A file without any write
// permission bit is read-only and refused, as is one this process may not write and
// anything but a regular file. False leaves the file exactly as it was.
bool ReplaceFileBytes(const std::string& path, std::string_view bytes);

}  // namespace vantu
