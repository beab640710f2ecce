// The real vantu binary started in a copy of the example station, for end-to-end tests.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "log_lines.h"
#include "loopback.h"
#include "temp_dir.h"

namespace vantu::testing {

// A copy of examples/station with a HOME and a runtime directory of its own, so a
// station started in it shares no profile or instance lock with anything else.
class StationDir {
  public:
    StationDir();

    std::string path() const { return dir_.File("station"); }
    std::string File(const std::string& name) const { return path() + "/" + name; }
    std::string log_path() const { return TodayLogPath(path()); }
    std::string home() const { return dir_.File("home"); }
    std::string runtime() const { return dir_.File("run"); }

  private:
    TempDir dir_;
};

class StationProcess {
  public:
    StationProcess(const StationDir& dir, std::vector<std::string> arguments);
    // A station still running is stopped with SIGTERM, killed only if it hangs.
    ~StationProcess();
    StationProcess(const StationProcess&) = delete;
    StationProcess& operator=(const StationProcess&) = delete;

    // Sends the signal and waits up to timeout_ms; the exit status, or -1 when the
    // process had to be killed or died by a signal.
    int Stop(int signal, int timeout_ms = 10000);
    // Waits up to timeout_ms for the process to end by itself; its exit status or -1.
    int WaitExit(int timeout_ms);
    const std::string& error_output_path() const { return stderr_path_; }
    std::string error_output() const { return ReadFile(stderr_path_); }

  private:
    static inline int started_ = 0;
    pid_t pid_ = -1;
    std::string stderr_path_;
};

// Checks every 10 ms until done() holds or timeout_ms passed.
bool WaitUntil(const std::function<bool()>& done, int timeout_ms);
// Polls until the file contains the bytes or the time is up.
bool WaitForFileText(const std::string& path, const std::string& bytes, int timeout_ms = 10000);
// The same for a log line's text, which is CP950 on disk.
bool WaitForLog(const std::string& path, const std::string& text, int timeout_ms = 10000);

// `vantu --headless --simulate` serving remote commands on a port of its own: a port
// another process took first is given up for the next free one.
class ServingStation {
  public:
    explicit ServingStation(const StationDir& dir);

    // False when no attempt opened the server.
    bool ready() const { return process_ != nullptr; }
    std::uint16_t port() const { return port_; }
    StationProcess& process() { return *process_; }
    std::string failure() const { return failure_; }

  private:
    std::unique_ptr<StationProcess> process_;
    std::uint16_t port_ = 0;
    std::string failure_;
};

}  // namespace vantu::testing
