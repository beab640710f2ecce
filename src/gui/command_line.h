// The station's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantu {

struct CommandLine {
    bool headless = false;
    bool simulate = false;
    int port = 10001;
    std::optional<std::string> station;  // --station DIR
};

struct ParsedCommandLine {
    std::optional<CommandLine> options;  // empty: exit with exit_code after printing
    int exit_code = 0;
    std::string output;  // for standard output (help, version)
    std::string error;   // for standard error
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace vantu
