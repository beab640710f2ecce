#include "log_lines.h"

#include <ctime>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "base/encoding.h"

namespace vantu::testing {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> LogMessages(const std::string& path) {
    static const std::regex kTimed(R"(^\d{4}-\d{1,2}-\d{1,2}  \d{2}:\d{2}:\d{2},)");
    std::vector<std::string> messages;
    std::istringstream in(FromAnsi(ReadFile(path)));
    std::smatch prefix;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, prefix, kTimed)) {
            messages.push_back(prefix.suffix());
        }
    }
    return messages;
}

std::string LastLogMessage(const std::string& path) {
    const std::vector<std::string> messages = LogMessages(path);
    return messages.empty() ? "" : messages.back();
}

std::string TodayLogPath(const std::string& station_dir) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return station_dir + "/Log/" + std::to_string(parts.tm_year + 1900) + "-" +
           std::to_string(parts.tm_mon + 1) + "-" + std::to_string(parts.tm_mday) + ".log";
}

}  // namespace vantu::testing
