#include "pattern/pattern_directory.h"

#include <filesystem>
#include <system_error>

namespace vantu {

bool PatternFileExists(const std::string& dir, const std::string& name) {
    // Listing the directory, rather than opening dir/name, keeps names with a path
    // in them, and names that only match when case is folded, from counting.
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().native() == name) {
            std::error_code status_error;
            return it->is_regular_file(status_error);
        }
    }
    return false;
}

}  // namespace vantu
