// vantu-monitor: versions and single commands over the QDX-A firmware's serial monitor.
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "tools/monitor_tool.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    std::error_code error;
    const std::string here = std::filesystem::current_path(error).string();
    return vantu::RunMonitorTool(args, here, std::cout, std::cerr);
}
