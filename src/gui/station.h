// The station put together: ports, controller and timers on the Qt event loop. The
// same composition serves the window and the headless runner.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/analyzer_page_lifecycle.h"
#include "app/controller.h"
#include "app/instrument_backends.h"
#include "base/system_clock.h"
#include "gui/command_line.h"
#include "gui/metrics_server.h"
#include "gui/qt_ports.h"
#include "gui/qt_tcp_transport.h"
#include "sim/chassis_model.h"
#include "sim/simulated_firmware.h"
#include "sim/simulated_pci_driver.h"

namespace vantu {

class Station {
  public:
    Station(const CommandLine& options, const std::string& station_dir, SharedSettings& shared,
            MainWindow& window, Prompts& prompts);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    void Start();
    // Ordered shutdown; runs once, whatever asked for it.
    void Shutdown();
    bool shut_down() const { return shut_down_; }

    CVANTUDlg& controller() { return controller_; }
    AnalyzerPageLifecycle& instrument_page() { return *instrument_page_; }
    // Called after each tick of the signal-analyzer page's own timers.
    void set_on_instrument_tick(std::function<void()> handler) {
        on_instrument_tick_ = std::move(handler);
    }

  private:
    void InstallCardDriver(const CommandLine& options, const std::string& station_dir);
    void StartSimulatedFirmware(const ChassisSettings& settings);
    void AddInstrumentPage(const CommandLine& options, const std::string& station_dir);
    // Serves /metrics and /status.json when setup.ini's [METRICS] sets PORT.
    void StartMetrics();
    StationSnapshot Snapshot();

    QtTimers timers_;
    QtPoster poster_;
    SystemClock clock_;
    QtTcpTransport transport_;
    // The driver behind the device library, and on the simulator the antenna that
    // animates the card; both outlive the controller that uses the card.
    std::unique_ptr<PciDriver> driver_;
    std::unique_ptr<ChassisModel> chassis_;
    // The QDX-A firmware the simulated COM port leads to.
    std::unique_ptr<SimulatedFirmware> firmware_;
    CVANTUDlg controller_;
    // The signal-analyzer page's own timers, its instruments and the page itself.
    QtTimers page_timers_;
    InstrumentBackends instruments_;
    std::unique_ptr<AnalyzerPageLifecycle> instrument_page_;
    std::function<void()> on_instrument_tick_;
    std::string station_dir_;
    std::unique_ptr<MetricsServer> metrics_;
    bool shut_down_ = false;
};

}  // namespace vantu
