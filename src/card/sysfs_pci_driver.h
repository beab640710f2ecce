// The PCI driver on Linux sysfs: cards are found under <root>/bus/pci/devices by their
// vendor and device files, and BAR 0 is mapped through resource0 for 32-bit volatile
// accesses; where that mapping is refused and the card is bound to vfio-pci, through
// VFIO instead. sysfs offers no interrupt or event channel, so those calls answer as for a
// card without an interrupt resource.
#pragma once

#include <string>

#include "card/card_device.h"
#include "card/device_calls.h"
#include "card/pci_driver_common.h"
#include "card/vfio_bar.h"

namespace vantu {

// Per open card: BAR 0 mapped either from resource0 (fd) or through VFIO.
struct SysfsDevice : CardDevice {
    int fd = -1;
    VfioBar vfio;
    volatile std::uint32_t* bar0 = nullptr;
    std::size_t window_bytes = 0;
};

class SysfsPciDriver : public PciDriverCommon {
  public:
    // sysfs_root is where sysfs is mounted, normally "/sys".
    explicit SysfsPciDriver(std::string sysfs_root, DeviceCalls& calls = SystemDeviceCalls());

    PciStatus DriverOpen(std::uint32_t options) override;

    PciStatus ScanDevices(std::uint32_t vendor_id, std::uint32_t device_id,
                          PciScanResult& result) override;
    PciStatus GetDeviceInfo(PciCardInfo& info) override;
    PciStatus DeviceOpen(CardHandle& device, const PciCardInfo& info, void* context) override;
    PciStatus DeviceClose(CardHandle device) override;

    PciStatus IntEnable(CardHandle device, std::uint32_t options, PciInterruptHandler handler,
                        void* data, bool kernel_plugin) override;
    PciStatus IntDisable(CardHandle device) override;
    bool IntIsEnabled(CardHandle device) override;
    PciStatus EventRegister(CardHandle device, std::uint32_t actions, PciEventHandler handler,
                            void* data, bool kernel_plugin) override;
    PciStatus EventUnregister(CardHandle device) override;
    bool EventIsRegistered(CardHandle device) override;

    // The whole of the mapped resource0 for BAR 0.
    MappedWindow MappedBar(CardHandle device, std::uint32_t space) override;

  private:
    std::size_t WindowBytes(CardDevice& device, std::uint32_t space) override;
    std::uint32_t LoadWord(CardDevice& device, std::uint64_t offset) override;
    void StoreWord(CardDevice& device, std::uint64_t offset, std::uint32_t value) override;

    std::string DeviceDirectory(const PciSlot& slot) const;
    PciStatus MapResource0(const std::string& dir, std::uint64_t bar_bytes, SysfsDevice& record);

    std::string devices_dir_;
    DeviceCalls& calls_;
};

// "dddd:bb:ss.f", as sysfs and VFIO name the device.
std::string SlotName(const PciSlot& slot);

// The status of a failed open or mmap of resource0, by errno.
PciStatus SysfsOpenErrorStatus(int error_number);

}  // namespace vantu
