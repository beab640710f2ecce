// The PCI driver for the simulated card: one PXIeCtrl card (vendor 0x534E, device
// 0x6374) with a 64 KiB memory BAR 0 and one interrupt resource, so that every path
// of the device library, interrupts and events included, runs without hardware.
#pragma once

#include "card/pci_driver_common.h"
#include "sim/simulated_card.h"

namespace vantu {

class SimulatedPciDriver : public PciDriverCommon {
  public:
    static constexpr PciSlot kCardSlot{0, 3, 0, 0};
    static constexpr std::uint64_t kBar0Address = 0xF7E00000;
    // Enabled interrupt type reported for the card: message-signalled (MSI).
    static constexpr std::uint32_t kInterruptType = 0x10;

    explicit SimulatedPciDriver(const SimulatedCardConfig& config = {});

    SimulatedCard& card() { return card_; }

    // Counts an interrupt with its message on the device and calls the handler given to
    // IntEnable; nothing happens while interrupts are disabled.
    void RaiseInterrupt(CardHandle device, std::uint32_t message);
    // Calls the handler given to EventRegister with the action; nothing when unregistered.
    void RaiseEvent(CardHandle device, std::uint32_t action);

    PciStatus DriverOpen(std::uint32_t options) override;

    PciStatus ScanDevices(std::uint32_t vendor_id, std::uint32_t device_id,
                          PciScanResult& result) override;
    PciStatus GetDeviceInfo(PciCardInfo& info) override;
    PciStatus DeviceOpen(CardHandle& device, const PciCardInfo& info, void* context) override;
    PciStatus DeviceClose(CardHandle device) override;

    PciStatus IntEnable(CardHandle device, std::uint32_t options, PciInterruptHandler handler,
                        void* data, bool kernel_plugin) override;
    PciStatus IntDisable(CardHandle device) override;
    bool IntIsEnabled(CardHandle device) override;
    PciStatus EventRegister(CardHandle device, std::uint32_t actions, PciEventHandler handler,
                            void* data, bool kernel_plugin) override;
    PciStatus EventUnregister(CardHandle device) override;
    bool EventIsRegistered(CardHandle device) override;

    // The card's report memory, while no report read hook is installed.
    MappedWindow MappedBar(CardHandle device, std::uint32_t space) override;

  private:
    std::size_t WindowBytes(CardDevice& device, std::uint32_t space) override;
    std::uint32_t LoadWord(CardDevice& device, std::uint64_t offset) override;
    void StoreWord(CardDevice& device, std::uint64_t offset, std::uint32_t value) override;

    SimulatedCard card_;
};

}  // namespace vantu
