// The records the PCI driver publishes: scan results, card resources, address spaces
// and interrupt counters.
#pragma once

#include <cstdint>
#include <vector>

namespace vantu {

struct PciSlot {
    std::uint32_t domain = 0;
    std::uint32_t bus = 0;
    std::uint32_t slot = 0;
    std::uint32_t function = 0;
};

struct PciScannedCard {
    std::uint32_t vendor_id = 0;
    std::uint32_t device_id = 0;
    PciSlot slot;
};

struct PciScanResult {
    std::vector<PciScannedCard> cards;
};

// Resource item types.
inline constexpr std::uint32_t kPciItemInterrupt = 1;
inline constexpr std::uint32_t kPciItemMemory = 2;
inline constexpr std::uint32_t kPciItemIo = 3;

struct PciResourceItem {
    std::uint32_t type = 0;
    std::uint32_t bar = 0;  // memory and I/O items only
    std::uint64_t physical_address = 0;
    std::uint64_t size = 0;
};

struct PciCardInfo {
    PciSlot slot;
    std::vector<PciResourceItem> items;
};

inline constexpr std::uint32_t kNoResourceItem = 0xFFFFFFFF;

// One address space of an open device; its number is the BAR number.
struct PciAddrSpace {
    std::uint32_t number = 0;
    bool is_memory = false;
    std::uint32_t item_index = kNoResourceItem;  // into PciCardInfo::items
    std::uint64_t size = 0;
};

// Interrupt counters kept by the driver for an open device.
struct PciInterruptRecord {
    std::uint32_t counter = 0;
    std::uint32_t lost = 0;
    std::uint32_t stopped = 0;
    std::uint32_t enabled_type = 0;
    std::uint32_t last_message = 0;
};

// Enabled-type bits of message-signalled interrupts (MSI, MSI-X).
inline constexpr std::uint32_t kPciInterruptMessageMask = 0x30;

struct PciEvent {
    std::uint32_t action = 0;
};

// Block accesses are always made in 32-bit units.
inline constexpr std::uint32_t kPciAccessMode32 = 4;

}  // namespace vantu
