// A simulated card opened through OpenCard, for tests of every folder and for tools:
// installs a simulated driver, opens the card as the station does, and undoes both
// when it goes away (the driver installed before comes back).
#pragma once

#include <memory>

#include "card/card_handle.h"
#include "card/pci_status.h"
#include "sim/simulated_pci_driver.h"

namespace vantu {

class SimulatedCardSession {
  public:
    explicit SimulatedCardSession(const SimulatedCardConfig& config = {});
    ~SimulatedCardSession();
    SimulatedCardSession(const SimulatedCardSession&) = delete;
    SimulatedCardSession& operator=(const SimulatedCardSession&) = delete;

    PciStatus open_status() const { return status_; }
    CardHandle handle() const { return handle_; }
    SimulatedCard& card() { return driver_.card(); }
    SimulatedPciDriver& driver() { return driver_; }

  private:
    SimulatedPciDriver driver_;
    PciDriver* previous_driver_;
    CardHandle handle_ = nullptr;
    PciStatus status_;
};

// The session with the card open; null when OpenCard failed.
std::unique_ptr<SimulatedCardSession> OpenSimulatedCard(const SimulatedCardConfig& config = {});

}  // namespace vantu
