// A PCI driver whose answers a test sets and whose calls it reads back: statuses per
// call, the cards a scan finds, the resources of the card, and a BAR 0 of words that
// records every access in order.
#pragma once

#include <cstdint>
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
    ScriptedPciDriver();

    bool SetDriverName(std::string_view name) override;
    PciStatus SetDebugOptions(std::uint32_t options) override;
    PciStatus DriverOpen(std::uint32_t options) override;
    PciStatus DriverClose() override;
    PciStatus ScanDevices(std::uint32_t vendor_id, std::uint32_t device_id,
                          PciScanResult& result) override;
    PciStatus GetDeviceInfo(PciCardInfo& info) override;
    PciStatus DeviceOpen(CardHandle& device, const PciCardInfo& info, void* context) override;
    PciStatus DeviceClose(CardHandle device) override;
    void* GetDevContext(CardHandle device) override;
    bool AddrSpaceIsActive(CardHandle device, std::uint32_t space) override;
    PciStatus IntEnable(CardHandle device, std::uint32_t options, PciInterruptHandler handler,
                        void* data, bool kernel_plugin) override;
    PciStatus IntDisable(CardHandle device) override;
    bool IntIsEnabled(CardHandle device) override;
    PciStatus EventRegister(CardHandle device, std::uint32_t actions, PciEventHandler handler,
                            void* data, bool kernel_plugin) override;
    PciStatus EventUnregister(CardHandle device) override;
    bool EventIsRegistered(CardHandle device) override;
    PciStatus ReadAddr32(CardHandle device, std::uint32_t space, std::uint64_t offset,
                         std::uint32_t& value) override;
    PciStatus WriteAddr32(CardHandle device, std::uint32_t space, std::uint64_t offset,
                          std::uint32_t value) override;
    PciStatus ReadAddrBlock(CardHandle device, std::uint32_t space, std::uint64_t offset,
                            std::size_t bytes, void* buffer, std::uint32_t mode) override;
    PciStatus WriteAddrBlock(CardHandle device, std::uint32_t space, std::uint64_t offset,
                             std::size_t bytes, const void* buffer, std::uint32_t mode) override;
    MappedWindow MappedBar(CardHandle device, std::uint32_t space) override;
    std::string StatusText(PciStatus status) override;

    int CallCount(const std::string& call) const;

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
    PciStatus Status(const std::string& call);
    std::uint32_t ReadWord(std::uint64_t offset);
};

}  // namespace vantu::testing
