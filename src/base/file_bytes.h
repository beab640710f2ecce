// Whole-file reads and writes that report why they failed instead of throwing or
// losing what the file was: a stream iterator throws when read(2) fails (a directory,
// an I/O error), and a plain rewrite drops the file's mode, owner and symlink.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantu {

// The file's bytes; nullopt with the system's reason in `error` when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path, std::string& error);

// Makes bytes the new content of path, following symlinks to the file they name and
// keeping its mode and owner. The new content is written beside the file and renamed
// over it, so the file is either the old or the new one. A file without any write
// permission bit is read-only and refused, as is one this process may not write.
// False leaves the file exactly as it was.
bool ReplaceFileBytes(const std::string& path, std::string_view bytes);

}  // namespace vantu
