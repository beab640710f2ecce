// What the sysfs and simulated PCI drivers do alike: the open flag, the device records
// they publish (a handle another driver published is refused), and BAR 0 reached one
// 32-bit word at a time inside its window. Each driver says how big the window is and
// how a word is loaded and stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "card/card_device.h"
#include "card/pci_driver.h"

namespace vantu {

class PciDriverCommon : public PciDriver {
  public:
    bool SetDriverName(std::string_view name) override;
    PciStatus SetDebugOptions(std::uint32_t options) override;
    PciStatus DriverClose() override;
    void* GetDevContext(CardHandle device) override;
    bool AddrSpaceIsActive(CardHandle device, std::uint32_t space) override;

    PciStatus ReadAddr32(CardHandle device, std::uint32_t space, std::uint64_t offset,
                         std::uint32_t& value) override;
    PciStatus WriteAddr32(CardHandle device, std::uint32_t space, std::uint64_t offset,
                          std::uint32_t value) override;
    PciStatus ReadAddrBlock(CardHandle device, std::uint32_t space, std::uint64_t offset,
                            std::size_t bytes, void* buffer, std::uint32_t mode) override;
    PciStatus WriteAddrBlock(CardHandle device, std::uint32_t space, std::uint64_t offset,
                             std::size_t bytes, const void* buffer, std::uint32_t mode) override;

    std::string StatusText(PciStatus status) override;

  protected:
    // The record behind a handle this driver published; null for any other handle.
    template <typename Record>
    Record* Own(CardHandle device) const {
        if (device == nullptr || device->driver != this) {
            return nullptr;
        }
        return static_cast<Record*>(device);
    }
    // Makes the record this driver's device for the card, with the library's context.
    void Publish(CardDevice& record, const PciCardInfo& info, void* context);

    // The bytes of the space that accesses may reach; 0 for a space it does not map.
    virtual std::size_t WindowBytes(CardDevice& device, std::uint32_t space) = 0;
    // One word of BAR 0 at a byte offset already checked against the window.
    virtual std::uint32_t LoadWord(CardDevice& device, std::uint64_t offset) = 0;
    virtual void StoreWord(CardDevice& device, std::uint64_t offset, std::uint32_t value) = 0;

    bool open_ = false;

  private:
    // The record of an access that its handle, mode and window allow; null otherwise,
    // with the status that refuses it.
    CardDevice* Access(CardHandle device, std::uint32_t space, std::uint64_t offset,
                       std::size_t bytes, std::uint32_t mode, PciStatus& status);
};

}  // namespace vantu
