// The PCI driver interface: one call per service the device library takes from the
// driver. The sysfs backend drives real hardware; the simulated card implements it
// in-process; tests script it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "card/card_handle.h"
#include "card/pci_records.h"
#include "card/pci_status.h"

namespace vantu {

using PciInterruptHandler = void (*)(void* data);
using PciEventHandler = void (*)(const PciEvent& event, void* data);

// Part of a BAR mapped into the station's address space: `base` is the word at byte
// offset `begin` and the mapping ends before byte offset `end`. A load through it is the
// card access itself. A null base means the driver maps nothing: use ReadAddr32.
struct MappedWindow {
    volatile std::uint32_t* base = nullptr;
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

class PciDriver {
  public:
    virtual ~PciDriver() = default;

    // False when the driver does not accept the name.
    virtual bool SetDriverName(std::string_view name) = 0;
    virtual PciStatus SetDebugOptions(std::uint32_t options) = 0;
    virtual PciStatus DriverOpen(std::uint32_t options) = 0;
    virtual PciStatus DriverClose() = 0;

    virtual PciStatus ScanDevices(std::uint32_t vendor_id, std::uint32_t device_id,
                                  PciScanResult& result) = 0;
    // Fills the resource items of the card at info.slot.
    virtual PciStatus GetDeviceInfo(PciCardInfo& info) = 0;
    // Publishes a device record (CardDevice) whose driver is this one and whose
    // context is the one given.
    virtual PciStatus DeviceOpen(CardHandle& device, const PciCardInfo& info, void* context) = 0;
    virtual PciStatus DeviceClose(CardHandle device) = 0;
    virtual void* GetDevContext(CardHandle device) = 0;
    virtual bool AddrSpaceIsActive(CardHandle device, std::uint32_t space) = 0;

    virtual PciStatus IntEnable(CardHandle device, std::uint32_t options,
                                PciInterruptHandler handler, void* data, bool kernel_plugin) = 0;
    virtual PciStatus IntDisable(CardHandle device) = 0;
    virtual bool IntIsEnabled(CardHandle device) = 0;
    virtual PciStatus EventRegister(CardHandle device, std::uint32_t actions,
                                    PciEventHandler handler, void* data, bool kernel_plugin) = 0;
    virtual PciStatus EventUnregister(CardHandle device) = 0;
    virtual bool EventIsRegistered(CardHandle device) = 0;

    virtual PciStatus ReadAddr32(CardHandle device, std::uint32_t space, std::uint64_t offset,
                                 std::uint32_t& value) = 0;
    virtual PciStatus WriteAddr32(CardHandle device, std::uint32_t space, std::uint64_t offset,
                                  std::uint32_t value) = 0;
    virtual PciStatus ReadAddrBlock(CardHandle device, std::uint32_t space, std::uint64_t offset,
                                    std::size_t bytes, void* buffer, std::uint32_t mode) = 0;
    virtual PciStatus WriteAddrBlock(CardHandle device, std::uint32_t space, std::uint64_t offset,
                                     std::size_t bytes, const void* buffer, std::uint32_t mode) = 0;

    // The mapping of `space` that plain loads may read. A driver may withdraw it at any
    // time, so callers ask again before every use and never keep it.
    virtual MappedWindow MappedBar(CardHandle, std::uint32_t) { return {}; }

    virtual std::string StatusText(PciStatus status) = 0;
};

}  // namespace vantu
