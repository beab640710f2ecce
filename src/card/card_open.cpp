#include "card/card_open.h"

#include <cstdio>

#include "card/bar0_map.h"
#include "card/card_ops.h"
#include "card/device_library.h"
#include "card/flash_access.h"

namespace vantu {

bool FindCard(std::uint32_t vendor_id, std::uint32_t device_id, PciSlot& slot) {
    PciDriver* driver = InstalledPciDriver();
    if (vendor_id == 0 || driver == nullptr) {
        return false;
    }
    PciScanResult result;
    if (driver->ScanDevices(vendor_id, device_id, result) != kPciSuccess || result.cards.empty()) {
        return false;
    }
    long number = 0;
    for (const PciScannedCard& card : result.cards) {
        std::printf("\n");
        std::printf("%2ld. Vendor ID: 0x%lX, Device ID: 0x%lX\n", ++number,
                    static_cast<unsigned long>(card.vendor_id),
                    static_cast<unsigned long>(card.device_id));
    }
    std::fflush(stdout);
    slot = result.cards.back().slot;
    return true;
}

CardHandle OpenCardAtSlot(const PciSlot& slot) {
    PciDriver* driver = InstalledPciDriver();
    if (driver == nullptr) {
        return nullptr;
    }
    PciCardInfo info;
    info.slot = slot;
    if (driver->GetDeviceInfo(info) != kPciSuccess) {
        return nullptr;
    }
    return TESPCICONTROL_DeviceOpen(&info);
}

PciStatus OpenCard(CardHandle& card) {
    card = nullptr;
    const PciStatus status = TESPCICONTROL_LibraryOpen();
    if (status != kPciSuccess) {
        return status;
    }
    // A failed open leaves the library as it found it.
    PciSlot slot;
    if (!FindCard(kCardVendorId, kCardDeviceId, slot)) {
        TESPCICONTROL_LibraryClose();
        return kPciDeviceNotFound;
    }
    card = OpenCardAtSlot(slot);
    if (card == nullptr) {
        TESPCICONTROL_LibraryClose();
        return kPciDeviceOpenFailed;
    }
    std::uint32_t unused = 0;
    ReadCardRegister(card, kCardIdWord, unused);
    ReadCardRegister(card, kSequencerId, unused);
    InitFlashAccess(card, kCardBar);
    ConfigureSpi(kSpiSettingAtOpen);
    ReadFlagStatus();
    ReadExtendedAddress();
    return kPciSuccess;
}

void CloseCard(CardHandle card) {
    if (card != nullptr) {
        ReleaseFlashAccess(card);
        TESPCICONTROL_DeviceClose(card);
    }
}

}  // namespace vantu
