// CVANTUApp: the application object. It owns the shared settings block for the whole
// process, refuses a second instance, and runs the station with or without a window.
#pragma once

#include <memory>

#include "base/shared_settings.h"
#include "gui/command_line.h"
#include "gui/single_instance.h"

namespace vantu {

class CVANTUApp {
  public:
    explicit CVANTUApp(const CommandLine& options) : options_(options) {}

    // kBroughtForward: this user's station already runs here and was asked to come
    // forward. kRefused: no station directory, or another user's station holds the
    // card; the reason is on standard error (and in a box with a window).
    InstanceStart StartApplication();
    // Runs the event loop until the ordered shutdown; the process exit code.
    int Run();

  private:
    // Makes the station directory the current one; false, with the reason on
    // standard error, when there is none to work in.
    bool EnterStationDirectory();
    int RunHeadless();
    int RunWindowed();

    CommandLine options_;
    SharedSettings shared_;
    std::unique_ptr<SingleInstance> instance_;
};

}  // namespace vantu
