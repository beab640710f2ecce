#include "card/bar_access.h"

#include <cstring>

#include "card/card_device.h"
#include "card/pci_driver.h"

namespace vantu {

PciStatus ReadBar32(CardHandle card, std::uint32_t bar, std::uint32_t offset,
                    std::uint32_t& value) {
    value = 0;
    if (card == nullptr) {
        return kPciInvalidHandle;
    }
    return card->driver->ReadAddr32(card, bar, offset, value);
}

PciStatus WriteBar32(CardHandle card, std::uint32_t bar, std::uint32_t offset,
                     std::uint32_t value) {
    if (card == nullptr) {
        return kPciInvalidHandle;
    }
    return card->driver->WriteAddr32(card, bar, offset, value);
}

PciStatus ReadBarBlock(CardHandle card, std::uint32_t bar, std::uint32_t offset, void* buffer,
                       std::size_t bytes) {
    if (card == nullptr) {
        std::memset(buffer, 0, bytes);
        return kPciInvalidHandle;
    }
    return card->driver->ReadAddrBlock(card, bar, offset, bytes, buffer, kPciAccessMode32);
}

PciStatus WriteBarBlock(CardHandle card, std::uint32_t bar, std::uint32_t offset,
                        const void* buffer, std::size_t bytes) {
    if (card == nullptr) {
        return kPciInvalidHandle;
    }
    return card->driver->WriteAddrBlock(card, bar, offset, bytes, buffer, kPciAccessMode32);
}

const volatile std::uint32_t* MappedBarWords(CardHandle card, std::uint32_t bar,
                                             std::uint32_t offset, std::size_t bytes) {
    if (card == nullptr) {
        return nullptr;
    }
    const MappedWindow window = card->driver->MappedBar(card, bar);
    if (window.base == nullptr || offset < window.begin || offset > window.end ||
        bytes > window.end - offset || (offset - window.begin) % 4 != 0) {
        return nullptr;
    }
    return window.base + (offset - window.begin) / 4;
}

}  // namespace vantu
