#include "station_process.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace vantu::testing {

std::string MakeStationCopy() {
    std::string dir = (std::filesystem::temp_directory_path() / "vantu-e2e-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    std::filesystem::copy(VANTU_EXAMPLE_STATION, dir, std::filesystem::copy_options::recursive);
    return dir;
}

StationProcess::StationProcess(const std::string& station_dir, std::vector<std::string> arguments,
                               const std::string& stderr_name)
    : stderr_path_(station_dir + "/" + stderr_name) {
    arguments.insert(arguments.begin(), VANTU_BINARY);
    const std::string home = station_dir + "/home";
    const std::string runtime = station_dir + "/run";
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    pid_ = ::fork();
    if (pid_ == 0) {
        if (::chdir(station_dir.c_str()) != 0) {
            ::_exit(126);
        }
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        std::FILE* err = std::freopen(stderr_path_.c_str(), "w", stderr);
        (void)err;
        std::vector<char*> argv;
        for (auto& arg : arguments) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        ::execv(VANTU_BINARY, argv.data());
        ::_exit(127);
    }
}

StationProcess::~StationProcess() {
    if (pid_ > 0) {
        Stop(SIGKILL, 2000);
    }
}

bool StationProcess::Running() {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    return ::waitpid(pid_, &status, WNOHANG) == 0;
}

int StationProcess::Stop(int signal, int timeout_ms) {
    if (pid_ <= 0) {
        return -1;
    }
    ::kill(pid_, signal);
    return Wait(timeout_ms);
}

int StationProcess::Wait(int timeout_ms) {
    if (pid_ <= 0) {
        return -1;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TodayLogPath(const std::string& station_dir) {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return station_dir + "/Log/" + std::to_string(parts.tm_year + 1900) + "-" +
           std::to_string(parts.tm_mon + 1) + "-" + std::to_string(parts.tm_mday) + ".log";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool WaitForFileText(const std::string& path, const std::string& needle, int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadFile(path).find(needle) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

int FreePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace vantu::testing
