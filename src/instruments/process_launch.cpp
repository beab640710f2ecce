#include "instruments/process_launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace vantu {
namespace {

constexpr int kPollMs = 20;

// The launcher finds the station's companion programs (the stand-in analyzer) in
// VANTU_BIN_DIR, the folder of the running station binary.
std::vector<std::string> LauncherEnvironment() {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::string_view(*entry).rfind("VANTU_BIN_DIR=", 0) != 0) {
            environment.emplace_back(*entry);
        }
    }
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        environment.push_back("VANTU_BIN_DIR=" + self.parent_path().string());
    }
    return environment;
}

}  // namespace

bool LaunchDetached(const std::string& program, const std::string& working_dir, int wait_ms,
                    Clock& clock) {
    const std::string path =
        program.empty() || program.front() == '/' ? program : working_dir + "/" + program;
    if (access(path.c_str(), X_OK) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, working_dir.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    std::vector<char*> argv{const_cast<char*>(path.c_str()), nullptr};
    std::vector<std::string> environment = LauncherEnvironment();
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int error =
        posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        return false;
    }
    for (int waited = 0; waited < wait_ms; waited += kPollMs) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            return true;
        }
        clock.SleepMs(kPollMs);
    }
    // A launcher still running is reaped whenever it ends, not left a zombie.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}

}  // namespace vantu
