// Single and block accesses on a card's BAR through the driver that opened it. A null
// handle never reaches a driver: reads give 0, writes do nothing, the status says why.
#pragma once

#include <cstddef>
#include <cstdint>

#include "card/card_handle.h"
#include "card/pci_status.h"

namespace vantu {

PciStatus ReadBar32(CardHandle card, std::uint32_t bar, std::uint32_t offset, std::uint32_t& value);
PciStatus WriteBar32(CardHandle card, std::uint32_t bar, std::uint32_t offset, std::uint32_t value);
PciStatus ReadBarBlock(CardHandle card, std::uint32_t bar, std::uint32_t offset, void* buffer,
                       std::size_t bytes);
PciStatus WriteBarBlock(CardHandle card, std::uint32_t bar, std::uint32_t offset,
                        const void* buffer, std::size_t bytes);

}  // namespace vantu
