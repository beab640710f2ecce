// The simulated QDX-A firmware on a pseudo-terminal: a client opens slave_path() as it
// would the USB-to-UART adapter's device. Output leaves at the line's byte rate and
// reaches the client in packets as the adapter delivers them (up to 62 bytes, or
// what arrived within 16 ms), so a reply takes as long as on the wire.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "sim/firmware_monitor.h"

namespace vantu {

class SimulatedFirmware {
  public:
    // Starts serving at once; throws std::system_error when no pseudo-terminal opens.
    SimulatedFirmware(const std::vector<int>& absent_modules, int baud = 115200);
    ~SimulatedFirmware();
    SimulatedFirmware(const SimulatedFirmware&) = delete;
    SimulatedFirmware& operator=(const SimulatedFirmware&) = delete;

    const std::string& slave_path() const { return slave_path_; }
    // The version table the firmware reports (fixed once serving).
    const std::array<std::uint8_t, kFirmwareVersionBytes>& versions() const {
        return monitor_.versions();
    }
    // The time one character takes on the line (start, 8 data, stop bit).
    std::chrono::nanoseconds character_time() const { return character_time_; }

  private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Outgoing {
        char byte;
        TimePoint ready;  // when the UART has shifted it out to the adapter
    };

    void Serve();
    void Queue(const std::string& bytes);
    // Hands the adapter's due packet to the client; the time of the next one.
    std::chrono::nanoseconds Deliver();

    FirmwareMonitor monitor_;
    std::chrono::nanoseconds character_time_;
    int master_fd_ = -1;
    int slave_fd_ = -1;
    int wake_fd_ = -1;
    std::string slave_path_;
    std::deque<Outgoing> outgoing_;
    TimePoint line_free_{};
    std::thread thread_;
};

}  // namespace vantu
