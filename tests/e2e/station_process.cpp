#include "station_process.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "base/encoding.h"

namespace vantu::testing {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

bool WaitUntil(const std::function<bool()>& done, int timeout_ms) {
    const auto deadline = steady_clock::now() + milliseconds(timeout_ms);
    while (!done()) {
        if (steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    return true;
}

StationDir::StationDir() {
    std::filesystem::copy(VANTU_EXAMPLE_STATION, path(), std::filesystem::copy_options::recursive);
    dir_.MakeDir("home");
    ::mkdir(runtime().c_str(), 0700);
}

StationProcess::StationProcess(const StationDir& dir, std::vector<std::string> arguments)
    : stderr_path_(dir.runtime() + "/stderr-" + std::to_string(++started_) + ".txt") {
    arguments.insert(arguments.begin(), VANTU_BINARY);
    pid_ = ::fork();
    if (pid_ == 0) {
        if (::chdir(dir.path().c_str()) != 0 || ::setenv("HOME", dir.home().c_str(), 1) != 0 ||
            ::setenv("XDG_RUNTIME_DIR", dir.runtime().c_str(), 1) != 0 ||
            std::freopen(stderr_path_.c_str(), "w", stderr) == nullptr) {
            ::_exit(126);
        }
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
    Stop(SIGTERM);
}

int StationProcess::WaitExit(int timeout_ms) {
    int status = 0;
    if (pid_ <= 0 ||
        !WaitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) != 0; }, timeout_ms)) {
        return -1;
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int StationProcess::Stop(int signal, int timeout_ms) {
    if (pid_ <= 0) {
        return -1;
    }
    ::kill(pid_, signal);
    const int status = WaitExit(timeout_ms);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    return status;
}

bool WaitForFileText(const std::string& path, const std::string& bytes, int timeout_ms) {
    return WaitUntil([&] { return ReadFile(path).find(bytes) != std::string::npos; }, timeout_ms);
}

bool WaitForLog(const std::string& path, const std::string& text, int timeout_ms) {
    return WaitForFileText(path, ToAnsi(text), timeout_ms);
}

ServingStation::ServingStation(const StationDir& dir) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = FreeLoopbackPort();
        auto process = std::make_unique<StationProcess>(
            dir,
            std::vector<std::string>{"--headless", "--simulate", "--port", std::to_string(port_)});
        const std::string log = dir.log_path();
        if (!WaitForLog(log, "[TCP] 伺服器 : ")) {
            failure_ = process->error_output();
            return;
        }
        if (ReadFile(log).find(ToAnsi("[TCP] 伺服器 : 已開啟備便")) != std::string::npos) {
            process_ = std::move(process);
            return;
        }
        // The port was taken in the meantime: a clean log for the next attempt.
        process->Stop(SIGTERM);
        std::filesystem::remove(log);
    }
    failure_ = "no free port after five attempts";
}

}  // namespace vantu::testing
