#include "sim/simulated_card_session.h"

#include "card/card_open.h"
#include "card/device_library.h"

namespace vantu {

SimulatedCardSession::SimulatedCardSession(const SimulatedCardConfig& config)
    : driver_(config), previous_driver_(InstallPciDriver(&driver_)), status_(OpenCard(handle_)) {}

SimulatedCardSession::~SimulatedCardSession() {
    if (status_ == kPciSuccess) {
        CloseCard(handle_);
        TESPCICONTROL_LibraryClose();
    }
    InstallPciDriver(previous_driver_);
}

std::unique_ptr<SimulatedCardSession> OpenSimulatedCard(const SimulatedCardConfig& config) {
    auto session = std::make_unique<SimulatedCardSession>(config);
    if (session->open_status() != kPciSuccess) {
        return nullptr;
    }
    return session;
}

}  // namespace vantu
