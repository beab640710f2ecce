// The firmware version page as the controller runs it: code (6,1) opens the serial
// link and reads every module's versions, timer 3 refreshes the unit versions while
// tab 4 is shown, and the shutdown closes a link left open. The version read itself
// runs on a worker thread so the window stays live for the second it takes; the
// worker only posts its progress and its end to the GUI thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <thread>

#include "base/ports.h"
#include "base/settings.h"
#include "controller/controller_flags.h"
#include "controller/controller_timers.h"
#include "controller/page_lifecycle.h"
#include "serial/firmware_page_model.h"
#include "serial/monitor_client.h"
#include "serial/serial_port.h"
#include "status/report_memory.h"

namespace vantu {

struct FirmwarePageLifecycleContext {
    ControllerFlags& flags;
    Prompts& prompts;
    Clock& clock;
    Poster& poster;
    const ReportMemory& report;
    const StationSettings& station;
    // The page model changed (progress, end of a read).
    std::function<void()> changed;
    // The serial layer's diagnostics.
    std::ostream& console;
};

class FirmwarePageLifecycle : public PageLifecycle {
  public:
    explicit FirmwarePageLifecycle(FirmwarePageLifecycleContext context);
    ~FirmwarePageLifecycle() override;
    FirmwarePageLifecycle(const FirmwarePageLifecycle&) = delete;
    FirmwarePageLifecycle& operator=(const FirmwarePageLifecycle&) = delete;

    int tab() const override;
    PageTimer timer() const override { return {kFirmwareTimer, 1000, 5000}; }
    void Tick() override;
    void Shutdown() override;

    // Code (6,1): OpenFirmwareLink and, when it succeeded, ReadModuleVersions.
    int ReadFirmwareVersions();
    // 0 when the port is ready; 1 after the warning box.
    int OpenFirmwareLink();
    // Starts the read; the module list fills when the worker's end is delivered.
    void ReadModuleVersions();

    // The simulated firmware's device, which wins over setup.ini.
    void set_simulated_device(std::string device) { simulated_device_ = std::move(device); }
    FirmwarePageModel& model() { return model_; }

  private:
    void FinishRead();
    std::string ReadWarning() const;
    std::string DevicePath() const;
    void StopRead();
    void CloseLink();

    FirmwarePageLifecycleContext context_;
    FirmwarePageModel model_;
    SerialPort port_;
    MonitorClient monitor_;
    std::string simulated_device_;
    std::array<std::uint8_t, kVersionBlockBytes> block_{};
    // Bytes of the block the last read stored; written by the worker before it posts.
    std::size_t stored_ = 0;
    std::thread worker_;
};

}  // namespace vantu
