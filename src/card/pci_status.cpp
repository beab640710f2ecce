#include "card/pci_status.h"

#include <array>
#include <cstdio>

#include "card/pci_status_table.h"

namespace vantu {

std::string PciStatusText(PciStatus status) {
    for (const PciStatusEntry& entry : kPciStatusTable) {
        if (entry.status == status) {
            return entry.text;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text, "Unknown status 0x%08X", status);
    return text;
}

}  // namespace vantu
