#include "gui/command_line.h"

#include <charconv>

#include "app/station_texts.h"

namespace vantu {
namespace {

constexpr const char* kUsage =
    "Usage: vantu [--simulate] [--headless] [--port N] [--station DIR]\n"
    "Operator station of the PXIe beam-steering controller chassis.\n"
    "Works in its station directory: setup.ini, Log/, the pattern directory. That is\n"
    "DIR, else the current directory when it holds setup.ini, else the per-user\n"
    "station ($XDG_DATA_HOME/vantu/station, made from the installed example).\n"
    "\n"
    "  --simulate      run on the simulated chassis and instruments\n"
    "  --headless      no window: timers, TCP server and logs only; prompts go to\n"
    "                  standard error and get their safe answer\n"
    "  --port N        TCP port of the remote command server (default 10001)\n"
    "  --station DIR   the station directory\n"
    "  -h, --help      show this help\n"
    "  --version       show the software version\n"
    "Exit status: 0 normal end, 1 the station could not start, 2 usage error.\n";

std::optional<int> ParsePort(const std::string& text) {
    int port = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (ec != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

ParsedCommandLine Fail(const std::string& message) {
    ParsedCommandLine result;
    result.exit_code = 2;
    result.error = "vantu: " + message + " (see --help)\n";
    return result;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine options;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--help" || arg == "-h") {
            ParsedCommandLine result;
            result.output = kUsage;
            return result;
        }
        if (arg == "--version") {
            ParsedCommandLine result;
            result.output = std::string(kSoftwareVersion) + "\n";
            return result;
        }
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--station") {
            if (i + 1 >= arguments.size()) {
                return Fail("--station needs a directory");
            }
            options.station = arguments[++i];
        } else if (arg == "--port" || arg.rfind("--port=", 0) == 0) {
            std::string value;
            if (arg == "--port") {
                if (i + 1 >= arguments.size()) {
                    return Fail("--port needs a number");
                }
                value = arguments[++i];
            } else {
                value = arg.substr(7);
            }
            auto port = ParsePort(value);
            if (!port) {
                return Fail("invalid port '" + value + "'");
            }
            options.port = *port;
        } else {
            return Fail("unknown option '" + arg + "'");
        }
    }
    ParsedCommandLine result;
    result.options = options;
    return result;
}

}  // namespace vantu
