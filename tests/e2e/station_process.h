// The real vantu binary started in a station directory, for end-to-end tests.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vantu::testing {

// Copies examples/station into a fresh temporary directory.
std::string MakeStationCopy();

// The station runs in station_dir with its HOME and runtime directory inside it, so
// its profile and its single-instance lock are its own; standard error goes to
// station_dir/stderr_name.
class StationProcess {
  public:
    StationProcess(const std::string& station_dir, std::vector<std::string> arguments,
                   const std::string& stderr_name = "stderr.txt");
    ~StationProcess();
    StationProcess(const StationProcess&) = delete;
    StationProcess& operator=(const StationProcess&) = delete;

    // Sends the signal and waits up to timeout_ms; the exit status, or -1 when the
    // process had to be killed.
    int Stop(int signal, int timeout_ms = 10000);
    // Waits up to timeout_ms for the process to end by itself; the exit status as Stop.
    int Wait(int timeout_ms);
    bool Running();
    const std::string& error_output_path() const { return stderr_path_; }

  private:
    pid_t pid_ = -1;
    std::string stderr_path_;
};

// The operation log the station opens today in that station directory.
std::string TodayLogPath(const std::string& station_dir);

// Polls until the file contains needle or the time is up.
bool WaitForFileText(const std::string& path, const std::string& needle, int timeout_ms);
std::string ReadFile(const std::string& path);

// A TCP port that was free a moment ago, different for each test process.
int FreePort();

}  // namespace vantu::testing
