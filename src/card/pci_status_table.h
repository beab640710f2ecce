// The texts behind the status codes, as data so one test can check every entry.
#pragma once

#include <array>

#include "card/pci_status.h"

namespace vantu {

struct PciStatusEntry {
    PciStatus status;
    const char* text;
};

inline constexpr std::array kPciStatusTable = {
    PciStatusEntry{kPciSuccess, "Success"},
    PciStatusEntry{kPciInvalidDriverName, "Invalid driver name"},
    PciStatusEntry{kPciAlreadyInState, "Operation already performed"},
    PciStatusEntry{kPciInvalidHandle, "Invalid handle"},
    PciStatusEntry{kPciNoInterruptResource, "The card has no interrupt resource"},
    PciStatusEntry{kPciDriverNotOpen, "The PCI driver is not open"},
    PciStatusEntry{kPciDeviceNotFound, "PCI device not found"},
    PciStatusEntry{kPciDeviceOpenFailed, "The card was found but could not be opened"},
    PciStatusEntry{kPciPermissionDenied,
                   "Permission denied mapping the card's BAR 0 (resource0); install the udev "
                   "rule of docs/card-access.md or run as root"},
    PciStatusEntry{kPciBarMissing, "The card has no memory BAR 0 to map"},
    PciStatusEntry{kPciEnableFailed, "The PCI device could not be enabled through sysfs"},
    PciStatusEntry{kPciOutsideWindow, "Access outside the mapped BAR window refused"},
    PciStatusEntry{kPciInvalidParameter, "Invalid parameter"},
    PciStatusEntry{kPciNotSupported, "Not supported by this driver"},
    PciStatusEntry{kPciSystemError, "A system call of the driver failed"},
    PciStatusEntry{kPciNoPciBus, "No PCI device directory (bus/pci/devices) under the sysfs root"},
    PciStatusEntry{kPciVfioFailed,
                   "The card is bound to vfio-pci but BAR 0 could not be mapped through VFIO; "
                   "see docs/card-access.md"},
};

}  // namespace vantu
