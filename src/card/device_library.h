// The device library over the installed PCI driver: driver open count, device handles
// with their context, interrupts and events with their callbacks, address spaces.
// Failures are returned and recorded in the last error text; nothing is shown here.
#pragma once

#include <cstdint>
#include <functional>

#include "card/card_handle.h"
#include "card/last_error.h"
#include "card/pci_driver.h"
#include "card/pci_records.h"
#include "card/pci_status.h"

namespace vantu {

inline constexpr const char* kDriverName = "TesPciControl";
inline constexpr std::uint32_t kDriverDebugOptions = 0x21;
inline constexpr std::uint32_t kDriverOpenOptions = 3;
inline constexpr std::uint32_t kEventActions = 0x3BF3;

struct InterruptResult {
    std::uint32_t counter = 0;
    std::uint32_t lost = 0;
    std::uint32_t stopped = 0;
    std::uint32_t enabled_type = 0;
    std::uint32_t last_message = 0;  // 0 unless the enabled type is message-signalled
};

using InterruptCallback = std::function<void(CardHandle, const InterruptResult&)>;
using EventCallback = std::function<void(CardHandle, std::uint32_t action)>;

struct AddrSpaceInfo {
    std::uint32_t number = 0;  // input
    char type[8] = "";
    char name[128] = "";
    char description[128] = "";
};

// The driver behind the library for the whole process (owned by the caller); returns
// the one installed before. With none installed the library cannot open.
PciDriver* InstallPciDriver(PciDriver* driver);
PciDriver* InstalledPciDriver();

PciStatus TESPCICONTROL_LibraryOpen();
PciStatus TESPCICONTROL_LibraryClose();

CardHandle TESPCICONTROL_DeviceOpen(const PciCardInfo* card_info);
bool TESPCICONTROL_DeviceClose(CardHandle device);

PciStatus TESPCICONTROL_IntEnable(CardHandle device, InterruptCallback callback);
PciStatus TESPCICONTROL_IntDisable(CardHandle device);
bool TESPCICONTROL_IntIsEnabled(CardHandle device);

PciStatus TESPCICONTROL_EventRegister(CardHandle device, EventCallback callback);
PciStatus TESPCICONTROL_EventUnregister(CardHandle device);
bool TESPCICONTROL_EventIsRegistered(CardHandle device);

std::uint32_t TESPCICONTROL_GetNumAddrSpaces(CardHandle device);
bool TESPCICONTROL_GetAddrSpaceInfo(CardHandle device, AddrSpaceInfo& info);

}  // namespace vantu
