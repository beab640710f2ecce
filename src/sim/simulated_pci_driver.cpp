#include "sim/simulated_pci_driver.h"

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

bool SameSlot(const PciSlot& a, const PciSlot& b) {
    return a.domain == b.domain && a.bus == b.bus && a.slot == b.slot && a.function == b.function;
}

}  // namespace

SimulatedPciDriver::SimulatedPciDriver(const SimulatedCardConfig& config) : card_(config) {}

void SimulatedPciDriver::RaiseInterrupt(CardHandle device, std::uint32_t message) {
    SimulatedDevice* record = Own<SimulatedDevice>(device);
    if (record == nullptr || record->interrupt_handler == nullptr) {
        return;
    }
    ++record->interrupt.counter;
    record->interrupt.last_message = message;
    record->interrupt_handler(record->interrupt_data);
}

void SimulatedPciDriver::RaiseEvent(CardHandle device, std::uint32_t action) {
    SimulatedDevice* record = Own<SimulatedDevice>(device);
    if (record != nullptr && record->event_handler != nullptr) {
        record->event_handler(PciEvent{action}, record->event_data);
    }
}

PciStatus SimulatedPciDriver::DriverOpen(std::uint32_t) {
    open_ = true;
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
    Publish(*record, info, context);
    record->bar_access = "simulated card";
    device = record;
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::DeviceClose(CardHandle device) {
    SimulatedDevice* record = Own<SimulatedDevice>(device);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    delete record;
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::IntEnable(CardHandle device, std::uint32_t,
                                        PciInterruptHandler handler, void* data, bool) {
    SimulatedDevice* record = Own<SimulatedDevice>(device);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    record->interrupt_handler = handler;
    record->interrupt_data = data;
    record->interrupt.enabled_type = kInterruptType;
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::IntDisable(CardHandle device) {
    SimulatedDevice* record = Own<SimulatedDevice>(device);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    record->interrupt_handler = nullptr;
    record->interrupt.enabled_type = 0;
    return kPciSuccess;
}

bool SimulatedPciDriver::IntIsEnabled(CardHandle device) {
    SimulatedDevice* record = Own<SimulatedDevice>(device);
    return record != nullptr && record->interrupt_handler != nullptr;
}

PciStatus SimulatedPciDriver::EventRegister(CardHandle device, std::uint32_t,
                                            PciEventHandler handler, void* data, bool) {
    SimulatedDevice* record = Own<SimulatedDevice>(device);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    record->event_handler = handler;
    record->event_data = data;
    return kPciSuccess;
}

PciStatus SimulatedPciDriver::EventUnregister(CardHandle device) {
    SimulatedDevice* record = Own<SimulatedDevice>(device);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    record->event_handler = nullptr;
    return kPciSuccess;
}

bool SimulatedPciDriver::EventIsRegistered(CardHandle device) {
    SimulatedDevice* record = Own<SimulatedDevice>(device);
    return record != nullptr && record->event_handler != nullptr;
}

MappedWindow SimulatedPciDriver::MappedBar(CardHandle device, std::uint32_t space) {
    std::uint32_t* words = card_.DirectReportWords();
    if (Own<SimulatedDevice>(device) == nullptr || space != 0 || words == nullptr) {
        return {};
    }
    return {words, kReportMemory, kReportMemory + kReportWords * 4};
}

std::size_t SimulatedPciDriver::WindowBytes(CardDevice&, std::uint32_t space) {
    return space == 0 ? SimulatedCard::kWindowBytes : 0;
}

std::uint32_t SimulatedPciDriver::LoadWord(CardDevice&, std::uint64_t offset) {
    return card_.Read32(static_cast<std::uint32_t>(offset));
}

void SimulatedPciDriver::StoreWord(CardDevice&, std::uint64_t offset, std::uint32_t value) {
    card_.Write32(static_cast<std::uint32_t>(offset), value);
}

}  // namespace vantu
