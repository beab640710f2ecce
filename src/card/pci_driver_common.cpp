#include "card/pci_driver_common.h"

#include <cstring>

#include "card/addr_spaces.h"
#include "card/bar_window.h"

namespace vantu {

bool PciDriverCommon::SetDriverName(std::string_view name) {
    return !name.empty();
}

PciStatus PciDriverCommon::SetDebugOptions(std::uint32_t) {
    return kPciSuccess;
}

PciStatus PciDriverCommon::DriverClose() {
    open_ = false;
    return kPciSuccess;
}

void* PciDriverCommon::GetDevContext(CardHandle device) {
    CardDevice* record = Own<CardDevice>(device);
    return record != nullptr ? record->context : nullptr;
}

bool PciDriverCommon::AddrSpaceIsActive(CardHandle device, std::uint32_t space) {
    return Own<CardDevice>(device) != nullptr && space == 0;
}

PciStatus PciDriverCommon::ReadAddr32(CardHandle device, std::uint32_t space, std::uint64_t offset,
                                      std::uint32_t& value) {
    value = 0;
    PciStatus status = kPciSuccess;
    CardDevice* record = Access(device, space, offset, 4, kPciAccessMode32, status);
    if (record != nullptr) {
        value = LoadWord(*record, offset);
    }
    return status;
}

PciStatus PciDriverCommon::WriteAddr32(CardHandle device, std::uint32_t space, std::uint64_t offset,
                                       std::uint32_t value) {
    PciStatus status = kPciSuccess;
    CardDevice* record = Access(device, space, offset, 4, kPciAccessMode32, status);
    if (record != nullptr) {
        StoreWord(*record, offset, value);
    }
    return status;
}

PciStatus PciDriverCommon::ReadAddrBlock(CardHandle device, std::uint32_t space,
                                         std::uint64_t offset, std::size_t bytes, void* buffer,
                                         std::uint32_t mode) {
    std::memset(buffer, 0, bytes);
    PciStatus status = kPciSuccess;
    CardDevice* record = Access(device, space, offset, bytes, mode, status);
    if (record == nullptr) {
        return status;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    for (std::size_t i = 0; i < bytes / 4; ++i) {
        const std::uint32_t word = LoadWord(*record, offset + i * 4);
        std::memcpy(out + i * 4, &word, 4);
    }
    return kPciSuccess;
}

PciStatus PciDriverCommon::WriteAddrBlock(CardHandle device, std::uint32_t space,
                                          std::uint64_t offset, std::size_t bytes,
                                          const void* buffer, std::uint32_t mode) {
    PciStatus status = kPciSuccess;
    CardDevice* record = Access(device, space, offset, bytes, mode, status);
    if (record == nullptr) {
        return status;
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    for (std::size_t i = 0; i < bytes / 4; ++i) {
        std::uint32_t word = 0;
        std::memcpy(&word, in + i * 4, 4);
        StoreWord(*record, offset + i * 4, word);
    }
    return kPciSuccess;
}

std::string PciDriverCommon::StatusText(PciStatus status) {
    return PciStatusText(status);
}

void PciDriverCommon::Publish(CardDevice& record, const PciCardInfo& info, void* context) {
    record.driver = this;
    record.info = info;
    record.addr_spaces = DescribeAddrSpaces(info);
    record.context = context;
}

CardDevice* PciDriverCommon::Access(CardHandle device, std::uint32_t space, std::uint64_t offset,
                                    std::size_t bytes, std::uint32_t mode, PciStatus& status) {
    CardDevice* record = Own<CardDevice>(device);
    if (record == nullptr) {
        status = kPciInvalidHandle;
        return nullptr;
    }
    if (mode != kPciAccessMode32) {
        status = kPciInvalidParameter;
        return nullptr;
    }
    status = CheckWindowAccess(space, offset, bytes, WindowBytes(*record, space));
    return status == kPciSuccess ? record : nullptr;
}

}  // namespace vantu
