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

// The word at `offset` of the BAR as mapped by the driver, when the mapping covers all
// `bytes` from there; null otherwise (and for a null handle), meaning: go through the
// driver's calls.
const volatile std::uint32_t* MappedBarWords(CardHandle card, std::uint32_t bar,
                                             std::uint32_t offset, std::size_t bytes);

}  // namespace vantu
