#include "scripted_pci_driver.h"

#include <algorithm>
#include <cstring>

namespace vantu::testing {

ScriptedPciDriver::ScriptedPciDriver() {
    device.driver = this;
}

PciStatus ScriptedPciDriver::Status(const std::string& call) {
    calls.push_back(call);
    const auto found = statuses.find(call);
    return found == statuses.end() ? kPciSuccess : found->second;
}

int ScriptedPciDriver::CallCount(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

bool ScriptedPciDriver::SetDriverName(std::string_view name) {
    calls.push_back("SetDriverName " + std::string(name));
    return accept_name;
}

PciStatus ScriptedPciDriver::SetDebugOptions(std::uint32_t options) {
    last_options = options;
    return Status("SetDebugOptions");
}

PciStatus ScriptedPciDriver::DriverOpen(std::uint32_t options) {
    last_options = options;
    return Status("DriverOpen");
}

PciStatus ScriptedPciDriver::DriverClose() {
    return Status("DriverClose");
}

PciStatus ScriptedPciDriver::ScanDevices(std::uint32_t, std::uint32_t, PciScanResult& result) {
    result.cards = cards;
    return Status("ScanDevices");
}

PciStatus ScriptedPciDriver::GetDeviceInfo(PciCardInfo& info) {
    info.items = items;
    return Status("GetDeviceInfo");
}

PciStatus ScriptedPciDriver::DeviceOpen(CardHandle& handle, const PciCardInfo& info,
                                        void* context) {
    const PciStatus status = Status("DeviceOpen");
    if (status == kPciSuccess || return_handle_on_failed_open) {
        device.info = info;
        device.addr_spaces = spaces;
        device.context = context;
        handle = &device;
    }
    return status;
}

PciStatus ScriptedPciDriver::DeviceClose(CardHandle) {
    return Status("DeviceClose");
}

void* ScriptedPciDriver::GetDevContext(CardHandle handle) {
    return null_context ? nullptr : handle->context;
}

bool ScriptedPciDriver::AddrSpaceIsActive(CardHandle, std::uint32_t space) {
    return active_spaces.count(space) != 0;
}

// The station uses neither interrupts nor events: these only answer the library.
PciStatus ScriptedPciDriver::IntEnable(CardHandle, std::uint32_t, PciInterruptHandler, void*,
                                       bool) {
    return Status("IntEnable");
}

PciStatus ScriptedPciDriver::IntDisable(CardHandle) {
    return Status("IntDisable");
}

bool ScriptedPciDriver::IntIsEnabled(CardHandle) {
    return false;
}

PciStatus ScriptedPciDriver::EventRegister(CardHandle, std::uint32_t, PciEventHandler, void*,
                                           bool) {
    return Status("EventRegister");
}

PciStatus ScriptedPciDriver::EventUnregister(CardHandle) {
    return Status("EventUnregister");
}

bool ScriptedPciDriver::EventIsRegistered(CardHandle) {
    return false;
}

std::uint32_t ScriptedPciDriver::ReadWord(std::uint64_t offset) {
    if (read_word) {
        return read_word(offset);
    }
    const auto found = words.find(offset);
    return found == words.end() ? 0 : found->second;
}

PciStatus ScriptedPciDriver::ReadAddr32(CardHandle, std::uint32_t space, std::uint64_t offset,
                                        std::uint32_t& value) {
    value = ReadWord(offset);
    accesses.push_back({'R', space, offset, value, 4});
    return Status("ReadAddr32");
}

PciStatus ScriptedPciDriver::WriteAddr32(CardHandle, std::uint32_t space, std::uint64_t offset,
                                         std::uint32_t value) {
    words[offset] = value;
    accesses.push_back({'W', space, offset, value, 4});
    return Status("WriteAddr32");
}

PciStatus ScriptedPciDriver::ReadAddrBlock(CardHandle, std::uint32_t space, std::uint64_t offset,
                                           std::size_t bytes, void* buffer, std::uint32_t mode) {
    block_mode = mode;
    accesses.push_back({'r', space, offset, 0, bytes});
    for (std::size_t i = 0; i < bytes / 4; ++i) {
        const std::uint32_t word = ReadWord(offset + i * 4);
        std::memcpy(static_cast<char*>(buffer) + i * 4, &word, 4);
    }
    return Status("ReadAddrBlock");
}

PciStatus ScriptedPciDriver::WriteAddrBlock(CardHandle, std::uint32_t space, std::uint64_t offset,
                                            std::size_t bytes, const void* buffer,
                                            std::uint32_t mode) {
    block_mode = mode;
    accesses.push_back({'w', space, offset, 0, bytes});
    for (std::size_t i = 0; i < bytes / 4; ++i) {
        std::uint32_t word = 0;
        std::memcpy(&word, static_cast<const char*>(buffer) + i * 4, 4);
        words[offset + i * 4] = word;
    }
    return Status("WriteAddrBlock");
}

MappedWindow ScriptedPciDriver::MappedBar(CardHandle, std::uint32_t space) {
    calls.push_back("MappedBar " + std::to_string(space));
    return window;
}

std::string ScriptedPciDriver::StatusText(PciStatus status) {
    return long_status_text.empty() ? PciStatusText(status) : long_status_text;
}

}  // namespace vantu::testing
