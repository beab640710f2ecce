// vantu-remote: send command lines to a station's remote control and print the replies.
#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "remote/remote_tool.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        return vantu::RunRemoteTool(args, std::cin, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "vantu-remote: " << error.what() << "\n";
        return 1;
    }
}
