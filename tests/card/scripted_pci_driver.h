// A PCI driver whose answers a test sets and whose calls it reads back: statuses per
// call, the cards a scan finds, the resources of the card, and a BAR 0 of words that
// records every access in order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "card/card_device.h"
#include "card/pci_driver.h"

namespace vantu::testing {

struct BarAccess {
    char kind;  // 'R' single read, 'W' single write, 'r' block read, 'w' block write
    std::uint32_t space;
    std::uint64_t offset;
    std::uint32_t value;  // single accesses
    std::size_t bytes;    // block accesses
    bool operator==(const BarAccess&) const = default;
};

class ScriptedPciDriver : public PciDriver {
  public:
    ScriptedPciDriver() { device.driver = this; }

    bool SetDriverName(std::string_view name) override {
        calls.push_back("SetDriverName " + std::string(name));
        return accept_name;
    }
    PciStatus SetDebugOptions(std::uint32_t options) override {
        last_options = options;
        return Status("SetDebugOptions");
    }
    PciStatus DriverOpen(std::uint32_t options) override {
        last_options = options;
        return Status("DriverOpen");
    }
    PciStatus DriverClose() override { return Status("DriverClose"); }
    PciStatus ScanDevices(std::uint32_t, std::uint32_t, PciScanResult& result) override {
        result.cards = cards;
        return Status("ScanDevices");
    }
    PciStatus GetDeviceInfo(PciCardInfo& info) override {
        info.items = items;
        return Status("GetDeviceInfo");
    }
    PciStatus DeviceOpen(CardHandle& handle, const PciCardInfo& info, void* context) override {
        const PciStatus status = Status("DeviceOpen");
        if (status == kPciSuccess || return_handle_on_failed_open) {
            device.info = info;
            device.addr_spaces = spaces;
            device.context = context;
            handle = &device;
        }
        return status;
    }
    PciStatus DeviceClose(CardHandle) override { return Status("DeviceClose"); }
    void* GetDevContext(CardHandle handle) override {
        return null_context ? nullptr : handle->context;
    }
    bool AddrSpaceIsActive(CardHandle, std::uint32_t space) override {
        return active_spaces.count(space) != 0;
    }
    // The station uses neither interrupts nor events: these only answer the library.
    PciStatus IntEnable(CardHandle, std::uint32_t, PciInterruptHandler, void*, bool) override {
        return Status("IntEnable");
    }
    PciStatus IntDisable(CardHandle) override { return Status("IntDisable"); }
    bool IntIsEnabled(CardHandle) override { return false; }
    PciStatus EventRegister(CardHandle, std::uint32_t, PciEventHandler, void*, bool) override {
        return Status("EventRegister");
    }
    PciStatus EventUnregister(CardHandle) override { return Status("EventUnregister"); }
    bool EventIsRegistered(CardHandle) override { return false; }
    PciStatus ReadAddr32(CardHandle, std::uint32_t space, std::uint64_t offset,
                         std::uint32_t& value) override {
        value = ReadWord(offset);
        accesses.push_back({'R', space, offset, value, 4});
        return Status("ReadAddr32");
    }
    PciStatus WriteAddr32(CardHandle, std::uint32_t space, std::uint64_t offset,
                          std::uint32_t value) override {
        words[offset] = value;
        accesses.push_back({'W', space, offset, value, 4});
        return Status("WriteAddr32");
    }
    PciStatus ReadAddrBlock(CardHandle, std::uint32_t space, std::uint64_t offset,
                            std::size_t bytes, void* buffer, std::uint32_t mode) override {
        block_mode = mode;
        accesses.push_back({'r', space, offset, 0, bytes});
        for (std::size_t i = 0; i < bytes / 4; ++i) {
            const std::uint32_t word = ReadWord(offset + i * 4);
            std::memcpy(static_cast<char*>(buffer) + i * 4, &word, 4);
        }
        return Status("ReadAddrBlock");
    }
    PciStatus WriteAddrBlock(CardHandle, std::uint32_t space, std::uint64_t offset,
                             std::size_t bytes, const void* buffer, std::uint32_t mode) override {
        block_mode = mode;
        accesses.push_back({'w', space, offset, 0, bytes});
        for (std::size_t i = 0; i < bytes / 4; ++i) {
            std::memcpy(&words[offset + i * 4], static_cast<const char*>(buffer) + i * 4, 4);
        }
        return Status("WriteAddrBlock");
    }
    MappedWindow MappedBar(CardHandle, std::uint32_t space) override {
        calls.push_back("MappedBar " + std::to_string(space));
        return window;
    }
    std::string StatusText(PciStatus status) override {
        return long_status_text.empty() ? PciStatusText(status) : long_status_text;
    }

    int CallCount(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    // Script.
    bool accept_name = true;
    std::map<std::string, PciStatus> statuses;  // by call name; absent = success
    std::vector<PciScannedCard> cards;
    std::vector<PciResourceItem> items;
    std::vector<PciAddrSpace> spaces;  // published at open
    std::set<std::uint32_t> active_spaces = {0};
    bool return_handle_on_failed_open = false;
    bool null_context = false;
    std::string long_status_text;  // replaces every status text when set
    std::map<std::uint64_t, std::uint32_t> words;
    // Answers single and block reads instead of `words` when set.
    std::function<std::uint32_t(std::uint64_t offset)> read_word;
    // The answer to MappedBar for every space; none by default.
    MappedWindow window;

    // Record.
    std::vector<std::string> calls;
    std::vector<BarAccess> accesses;
    CardDevice device;
    std::uint32_t last_options = 0;
    std::uint32_t block_mode = 0;

  private:
    PciStatus Status(const std::string& call) {
        calls.push_back(call);
        const auto found = statuses.find(call);
        return found == statuses.end() ? kPciSuccess : found->second;
    }
    std::uint32_t ReadWord(std::uint64_t offset) {
        if (read_word) {
            return read_word(offset);
        }
        const auto found = words.find(offset);
        return found == words.end() ? 0 : found->second;
    }
};

}  // namespace vantu::testing
