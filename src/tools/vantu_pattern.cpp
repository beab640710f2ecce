// vantu-pattern: dump and build control code pattern files.
#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "pattern/pattern_tool.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        return vantu::RunPatternTool(args, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "vantu-pattern: " << error.what() << "\n";
        return 1;
    }
}
