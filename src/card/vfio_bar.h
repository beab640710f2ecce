// BAR 0 of a card bound to vfio-pci, mapped through the VFIO container, group and
// device: the way in where the kernel refuses to map sysfs resource0 (lockdown).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "card/device_calls.h"
#include "card/pci_status.h"

namespace vantu {

struct VfioBar {
    int container = -1;
    int group = -1;
    int device = -1;
    void* mapping = nullptr;
    std::size_t bytes = 0;
    std::string group_name;  // the IOMMU group, as in /dev/vfio/<group_name>
};

// The IOMMU group of the device at device_dir (its sysfs folder) when vfio-pci is its
// driver; empty when the card is not set up for VFIO.
std::string VfioGroupOf(const std::string& device_dir);

// Maps region 0 of the device named slot_name in group, at most bar_bytes of it.
// On failure nothing stays open or mapped and the status is kPciVfioFailed.
PciStatus MapBar0ThroughVfio(DeviceCalls& calls, const std::string& group,
                             const std::string& slot_name, std::uint64_t bar_bytes, VfioBar& bar);

// Unmaps and closes whatever `bar` holds and leaves it empty.
void ReleaseVfioBar(DeviceCalls& calls, VfioBar& bar);

}  // namespace vantu
