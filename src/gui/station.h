// The station put together: ports, controller and timers on the Qt event loop. The
// same composition serves the window and the headless runner.
#pragma once

#include <string>

#include "app/controller.h"
#include "base/system_clock.h"
#include "gui/command_line.h"
#include "gui/qt_ports.h"

namespace vantu {

class Station {
  public:
    Station(const CommandLine& options, std::string station_dir, SharedSettings& shared,
            MainWindow& window, Prompts& prompts);

    void Start();
    // Ordered shutdown; runs once, whatever asked for it.
    void Shutdown();

    CVANTUDlg& controller() { return controller_; }

  private:
    QtTimers timers_;
    QtPoster poster_;
    SystemClock clock_;
    CVANTUDlg controller_;
    bool shut_down_ = false;
};

}  // namespace vantu
