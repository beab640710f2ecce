#include "gui/station.h"

#include <utility>

namespace vantu {
namespace {

CardOpener MakeCardOpener(const CommandLine&) {
    return [](CardHandle&) -> std::uint32_t { return 1; };
}

}  // namespace

Station::Station(const CommandLine& options, std::string station_dir, SharedSettings& shared,
                 MainWindow& window, Prompts& prompts)
    : timers_([this](int id) { controller_.HandleTimerTick(id); }),
      controller_(ControllerPorts{prompts, timers_, clock_, poster_, window},
                  std::move(station_dir), shared, MakeCardOpener(options)) {}

void Station::Start() {
    controller_.StartController();
}

void Station::Shutdown() {
    if (shut_down_) {
        return;
    }
    shut_down_ = true;
    controller_.ShutdownController();
}

}  // namespace vantu
