// Finding and opening the PXIeCtrl control card through the device library.
#pragma once

#include <cstdint>

#include "card/card_handle.h"
#include "card/pci_records.h"
#include "card/pci_status.h"

namespace vantu {

inline constexpr std::uint32_t kCardVendorId = 0x534E;
inline constexpr std::uint32_t kCardDeviceId = 0x6374;

// Prints one numbered line per matching card on standard output and gives the slot of
// the last one. Vendor id 0, a failed scan or no card: false.
bool FindCard(std::uint32_t vendor_id, std::uint32_t device_id, PciSlot& slot);

// Null when the card at the slot cannot be described or opened (the last error says why).
CardHandle OpenCardAtSlot(const PciSlot& slot);

// Opens the driver library and the card and prepares its flash access. 0 = card ready
// and `card` set; otherwise `card` stays null, the card is not touched and the library
// open count is back where it was. CloseCard and TESPCICONTROL_LibraryClose undo a success.
PciStatus OpenCard(CardHandle& card);

// A null handle does nothing.
void CloseCard(CardHandle card);

}  // namespace vantu
