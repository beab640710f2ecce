// Pattern files are looked up by exact name in the pattern directory.
#pragma once

#include <string>

namespace vantu {

// True when dir holds a regular file (or a link to one) whose name equals name exactly,
// letter case included. Directories and other special files do not count.
bool PatternFileExists(const std::string& dir, const std::string& name);

}  // namespace vantu
