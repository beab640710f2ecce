#include "sim/simulated_pci_driver.h"

#include <cstring>

#include "card/addr_spaces.h"
#include "card/bar_window.h"
#include "card/card_device.h"
#include "card/card_open.h"

namespace vantu {
namespace {

struct SimulatedDevice : CardDevice {
    PciInterruptHandler interrupt_handler = nullptr;
    void* interrupt_data = nullptr;
    PciEventHandler event_handler = nullptr;
    void* event_data = nullptr;
};

SimulatedDevice* OwnDevice(CardHandle device, const PciDriver* driver) {
    if (device == nullptr || device->driver != driver) {
        return nullptr;
    }
    return static_cast<SimulatedDevice*>(device);
}

bool SameSlot(const PciSlot& a, const PciSlot& b) {
    return a.domain == b.domain && a.bus == b.bus && a.slot == b.slot && a.function == b.function;
}

}  // namespace

SimulatedPciDriver::SimulatedPciDriver(const SimulatedCardConfig& config) : card_(config) {}

void SimulatedPciDriver::RaiseInterrupt(CardHandle device, std::uint32_t message) {
    SimulatedDevice* record = OwnDevice(device, this);
    if (record == nullptr || record->interrupt_handler == nullptr) {
        return;
    }
    ++record->interrupt.counter;
    record->interrupt.last_message = message;
    record->interrupt_handler(record->interrupt_data);
}

void SimulatedPciDriver::RaiseEvent(CardHandle device, std::uint32_t action) {
    SimulatedDevice* record = OwnDevice(device, this);
    if (record != nullptr && record->event_handler != nullptr) {
        record->event_handler(PciEvent{action}, record->event_data);
    }
}

bool SimulatedPciDriver::SetDriverName(std::string_view name) {
    return !name.empty();
}

PciStatus SimulatedPciDriver::SetDebugOptions(std::uint32_t) {
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::DriverOpen(std::uint32_t) {
    open_ = true;
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::DriverClose() {
    open_ = false;
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::ScanDevices(std::uint32_t vendor_id, std::uint32_t device_id,
                                          PciScanResult& result) {
    if (!open_) {
        return kPciDriverNotOpen;
    }
    if (vendor_id == kCardVendorId && (device_id == 0 || device_id == kCardDeviceId)) {
        result.cards.push_back({kCardVendorId, kCardDeviceId, kCardSlot});
    }
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::GetDeviceInfo(PciCardInfo& info) {
    if (!open_) {
        return kPciDriverNotOpen;
    }
    if (!SameSlot(info.slot, kCardSlot)) {
        return kPciDeviceNotFound;
    }
    info.items = {
        {kPciItemMemory, 0, kBar0Address, SimulatedCard::kWindowBytes},
        {kPciItemInterrupt, 0, 0, 0},
    };
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::DeviceOpen(CardHandle& device, const PciCardInfo& info,
                                         void* context) {
    if (!open_) {
        return kPciDriverNotOpen;
    }
    if (!SameSlot(info.slot, kCardSlot)) {
        return kPciDeviceNotFound;
    }
    auto* record = new SimulatedDevice();
    record->driver = this;
    record->info = info;
    record->addr_spaces = DescribeAddrSpaces(info);
    record->context = context;
    record->bar_access = "simulated card";
    device = record;
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::DeviceClose(CardHandle device) {
    SimulatedDevice* record = OwnDevice(device, this);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    delete record;
    return kPciSuccess;
}

void* SimulatedPciDriver::GetDevContext(CardHandle device) {
    SimulatedDevice* record = OwnDevice(device, this);
    return record != nullptr ? record->context : nullptr;
}

bool SimulatedPciDriver::AddrSpaceIsActive(CardHandle device, std::uint32_t space) {
    return OwnDevice(device, this) != nullptr && space == 0;
}

PciStatus SimulatedPciDriver::IntEnable(CardHandle device, std::uint32_t,
                                        PciInterruptHandler handler, void* data, bool) {
    SimulatedDevice* record = OwnDevice(device, this);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    record->interrupt_handler = handler;
    record->interrupt_data = data;
    record->interrupt.enabled_type = kInterruptType;
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::IntDisable(CardHandle device) {
    SimulatedDevice* record = OwnDevice(device, this);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    record->interrupt_handler = nullptr;
    record->interrupt.enabled_type = 0;
    return kPciSuccess;
}

bool SimulatedPciDriver::IntIsEnabled(CardHandle device) {
    SimulatedDevice* record = OwnDevice(device, this);
    return record != nullptr && record->interrupt_handler != nullptr;
}

PciStatus SimulatedPciDriver::EventRegister(CardHandle device, std::uint32_t,
                                            PciEventHandler handler, void* data, bool) {
    SimulatedDevice* record = OwnDevice(device, this);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    record->event_handler = handler;
    record->event_data = data;
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::EventUnregister(CardHandle device) {
    SimulatedDevice* record = OwnDevice(device, this);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    record->event_handler = nullptr;
    return kPciSuccess;
}

bool SimulatedPciDriver::EventIsRegistered(CardHandle device) {
    SimulatedDevice* record = OwnDevice(device, this);
    return record != nullptr && record->event_handler != nullptr;
}

PciStatus SimulatedPciDriver::CheckAccess(CardHandle device, std::uint32_t space,
                                          std::uint64_t offset, std::size_t bytes,
                                          std::uint32_t mode) {
    if (OwnDevice(device, this) == nullptr) {
        return kPciInvalidHandle;
    }
    if (mode != kPciAccessMode32) {
        return kPciInvalidParameter;
    }
    return CheckWindowAccess(space, offset, bytes, space == 0 ? SimulatedCard::kWindowBytes : 0);
}

PciStatus SimulatedPciDriver::ReadAddr32(CardHandle device, std::uint32_t space,
                                         std::uint64_t offset, std::uint32_t& value) {
    value = 0;
    const PciStatus status = CheckAccess(device, space, offset, 4, kPciAccessMode32);
    if (status == kPciSuccess) {
        value = card_.Read32(static_cast<std::uint32_t>(offset));
    }
    return status;
}

PciStatus SimulatedPciDriver::WriteAddr32(CardHandle device, std::uint32_t space,
                                          std::uint64_t offset, std::uint32_t value) {
    const PciStatus status = CheckAccess(device, space, offset, 4, kPciAccessMode32);
    if (status == kPciSuccess) {
        card_.Write32(static_cast<std::uint32_t>(offset), value);
    }
    return status;
}

PciStatus SimulatedPciDriver::ReadAddrBlock(CardHandle device, std::uint32_t space,
                                            std::uint64_t offset, std::size_t bytes, void* buffer,
                                            std::uint32_t mode) {
    std::memset(buffer, 0, bytes);
    const PciStatus status = CheckAccess(device, space, offset, bytes, mode);
    if (status != kPciSuccess) {
        return status;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    for (std::size_t i = 0; i < bytes / 4; ++i) {
        const std::uint32_t word = card_.Read32(static_cast<std::uint32_t>(offset + i * 4));
        std::memcpy(out + i * 4, &word, 4);
    }
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::WriteAddrBlock(CardHandle device, std::uint32_t space,
                                             std::uint64_t offset, std::size_t bytes,
                                             const void* buffer, std::uint32_t mode) {
    const PciStatus status = CheckAccess(device, space, offset, bytes, mode);
    if (status != kPciSuccess) {
        return status;
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    for (std::size_t i = 0; i < bytes / 4; ++i) {
        std::uint32_t word = 0;
        std::memcpy(&word, in + i * 4, 4);
        card_.Write32(static_cast<std::uint32_t>(offset + i * 4), word);
    }
    return kPciSuccess;
}

MappedWindow SimulatedPciDriver::MappedBar(CardHandle device, std::uint32_t space) {
    std::uint32_t* words = card_.DirectReportWords();
    if (OwnDevice(device, this) == nullptr || space != 0 || words == nullptr) {
        return {};
    }
    return {words, kReportMemory, kReportMemory + kReportWords * 4};
}

std::string SimulatedPciDriver::StatusText(PciStatus status) {
    return PciStatusText(status);
}

}  // namespace vantu
