// vantu-pattern: lists and builds pattern files for the people who prepare them.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace vantu {

// args without the program name. 0 on success, 1 on a refused file or a failed
// write, 2 on a usage error.
int RunPatternTool(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace vantu
