// Status codes of the PCI driver interface: 32-bit values, 0 = success.
#pragma once

#include <cstdint>
#include <string>

namespace vantu {

using PciStatus = std::uint32_t;

inline constexpr PciStatus kPciSuccess = 0;

// Codes the device library itself returns.
inline constexpr PciStatus kPciInvalidDriverName = 0x20000007;
inline constexpr PciStatus kPciAlreadyInState = 0x20000011;
inline constexpr PciStatus kPciInvalidHandle = 0x2000001B;
inline constexpr PciStatus kPciNoInterruptResource = 0x20000020;

// Codes of the station's own drivers (sysfs and simulated).
inline constexpr PciStatus kPciDriverNotOpen = 0x20000101;
inline constexpr PciStatus kPciDeviceNotFound = 0x20000102;
inline constexpr PciStatus kPciDeviceOpenFailed = 0x20000103;
inline constexpr PciStatus kPciPermissionDenied = 0x20000104;
inline constexpr PciStatus kPciBarMissing = 0x20000105;
inline constexpr PciStatus kPciEnableFailed = 0x20000106;
inline constexpr PciStatus kPciOutsideWindow = 0x20000107;
inline constexpr PciStatus kPciInvalidParameter = 0x20000108;
inline constexpr PciStatus kPciNotSupported = 0x20000109;
inline constexpr PciStatus kPciSystemError = 0x2000010A;
inline constexpr PciStatus kPciNoPciBus = 0x2000010B;
inline constexpr PciStatus kPciVfioFailed = 0x2000010C;

// A readable text for every code above; unknown codes get "Unknown status 0x%08X".
std::string PciStatusText(PciStatus status);

}  // namespace vantu
