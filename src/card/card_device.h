// The device record behind a CardHandle, as the PCI driver publishes it. Drivers
// derive their own record from it to keep their per-device state.
#pragma once

#include <string>
#include <vector>

#include "card/card_handle.h"
#include "card/pci_records.h"

namespace vantu {

class PciDriver;

struct CardDevice {
    PciDriver* driver = nullptr;  // every access to the device goes through it
    PciCardInfo info;
    std::vector<PciAddrSpace> addr_spaces;
    PciInterruptRecord interrupt;
    bool kernel_plugin = false;
    void* context = nullptr;  // the device library's context, handed over at open
    std::string bar_access;   // how the driver reaches BAR 0, for service output
};

}  // namespace vantu
