#include "card/sysfs_pci_driver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "card/card_device.h"
#include "card/vfio_bar.h"

namespace vantu {
namespace {

constexpr std::uint32_t kBarCount = 6;
constexpr std::uint64_t kResourceIo = 0x100;   // IORESOURCE_IO
constexpr std::uint64_t kResourceMem = 0x200;  // IORESOURCE_MEM

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path);
    if (!in) {
        return false;
    }
    std::getline(in, text);
    return true;
}

bool ReadHexFile(const std::string& path, std::uint32_t& value) {
    std::string text;
    if (!ReadText(path, text)) {
        return false;
    }
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text.c_str(), &end, 16);
    if (end == text.c_str()) {
        return false;
    }
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

bool ParseSlotName(const std::string& name, PciSlot& slot) {
    char tail = 0;
    return std::sscanf(name.c_str(), "%x:%x:%x.%x%c", &slot.domain, &slot.bus, &slot.slot,
                       &slot.function, &tail) == 4;
}

// The six BAR lines of the resource file: start, end, flags.
std::vector<PciResourceItem> ReadResources(const std::string& device_dir) {
    std::vector<PciResourceItem> items;
    std::ifstream in(device_dir + "/resource");
    std::string line;
    for (std::uint32_t bar = 0; bar < kBarCount && std::getline(in, line); ++bar) {
        unsigned long long start = 0;
        unsigned long long end = 0;
        unsigned long long flags = 0;
        std::istringstream fields(line);
        fields >> std::hex >> start >> end >> flags;
        if (!fields || end <= start || (flags & (kResourceIo | kResourceMem)) == 0) {
            continue;
        }
        const std::uint32_t type = (flags & kResourceMem) != 0 ? kPciItemMemory : kPciItemIo;
        items.push_back({type, bar, start, end - start + 1});
    }
    return items;
}

const PciResourceItem* FindMemoryBar0(const PciCardInfo& info) {
    for (const PciResourceItem& item : info.items) {
        if (item.type == kPciItemMemory && item.bar == 0) {
            return &item;
        }
    }
    return nullptr;
}

// Writes 1 to the enable file when it reads 0; a tree without the file needs nothing.
PciStatus EnableDevice(const std::string& device_dir) {
    const std::string path = device_dir + "/enable";
    std::string text;
    if (!ReadText(path, text) || text.empty() || text[0] != '0') {
        return kPciSuccess;
    }
    std::ofstream out(path);
    out << "1\n";
    out.flush();
    return out ? kPciSuccess : kPciEnableFailed;
}

}  // namespace

PciStatus SysfsOpenErrorStatus(int error_number) {
    switch (error_number) {
        case EACCES:
        case EPERM:
            return kPciPermissionDenied;
        case ENOENT:
            return kPciBarMissing;
        default:
            return kPciSystemError;
    }
}

std::string SlotName(const PciSlot& slot) {
    char name[32];
    std::snprintf(name, sizeof name, "%04x:%02x:%02x.%x", slot.domain, slot.bus, slot.slot,
                  slot.function);
    return name;
}

SysfsPciDriver::SysfsPciDriver(std::string sysfs_root, DeviceCalls& calls)
    : devices_dir_(std::move(sysfs_root) + "/bus/pci/devices"), calls_(calls) {}

PciStatus SysfsPciDriver::DriverOpen(std::uint32_t) {
    std::error_code error;
    if (!std::filesystem::is_directory(devices_dir_, error)) {
        return kPciNoPciBus;
    }
    open_ = true;
    return kPciSuccess;
}

PciStatus SysfsPciDriver::ScanDevices(std::uint32_t vendor_id, std::uint32_t device_id,
                                      PciScanResult& result) {
    if (!open_) {
        return kPciDriverNotOpen;
    }
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(devices_dir_, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        PciScannedCard card;
        const std::string dir = devices_dir_ + "/" + name;
        if (!ParseSlotName(name, card.slot) || !ReadHexFile(dir + "/vendor", card.vendor_id) ||
            !ReadHexFile(dir + "/device", card.device_id)) {
            continue;
        }
        if (card.vendor_id == vendor_id && (device_id == 0 || card.device_id == device_id)) {
            result.cards.push_back(card);
        }
    }
    return kPciSuccess;
}

PciStatus SysfsPciDriver::GetDeviceInfo(PciCardInfo& info) {
    if (!open_) {
        return kPciDriverNotOpen;
    }
    const std::string dir = DeviceDirectory(info.slot);
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) {
        return kPciDeviceNotFound;
    }
    info.items = ReadResources(dir);
    return kPciSuccess;
}

PciStatus SysfsPciDriver::DeviceOpen(CardHandle& device, const PciCardInfo& info, void* context) {
    if (!open_) {
        return kPciDriverNotOpen;
    }
    const PciResourceItem* bar0 = FindMemoryBar0(info);
    if (bar0 == nullptr) {
        return kPciBarMissing;
    }
    const std::string dir = DeviceDirectory(info.slot);
    if (EnableDevice(dir) != kPciSuccess) {
        return kPciEnableFailed;
    }
    auto record = std::make_unique<SysfsDevice>();
    PciStatus status = MapResource0(dir, bar0->size, *record);
    const std::string group = VfioGroupOf(dir);
    // A card bound to vfio-pci is reached through VFIO whenever resource0 is refused.
    if (status != kPciSuccess && !group.empty()) {
        status = MapBar0ThroughVfio(calls_, group, SlotName(info.slot), bar0->size, record->vfio);
        record->bar0 = static_cast<volatile std::uint32_t*>(record->vfio.mapping);
        record->window_bytes = record->vfio.bytes;
        record->bar_access = "VFIO, /dev/vfio/" + group;
    }
    if (status != kPciSuccess) {
        return status;
    }
    Publish(*record, info, context);
    device = record.release();
    return kPciSuccess;
}

PciStatus SysfsPciDriver::DeviceClose(CardHandle device) {
    SysfsDevice* record = Own<SysfsDevice>(device);
    if (record == nullptr) {
        return kPciInvalidHandle;
    }
    if (record->fd >= 0) {
        calls_.Unmap(const_cast<std::uint32_t*>(record->bar0), record->window_bytes);
        calls_.Close(record->fd);
    }
    ReleaseVfioBar(calls_, record->vfio);
    delete record;
    return kPciSuccess;
}

PciStatus SysfsPciDriver::IntEnable(CardHandle, std::uint32_t, PciInterruptHandler, void*, bool) {
    return kPciNoInterruptResource;
}

PciStatus SysfsPciDriver::IntDisable(CardHandle) {
    return kPciNoInterruptResource;
}

bool SysfsPciDriver::IntIsEnabled(CardHandle) {
    return false;
}

PciStatus SysfsPciDriver::EventRegister(CardHandle, std::uint32_t, PciEventHandler, void*, bool) {
    return kPciNotSupported;
}

PciStatus SysfsPciDriver::EventUnregister(CardHandle) {
    return kPciNotSupported;
}

bool SysfsPciDriver::EventIsRegistered(CardHandle) {
    return false;
}

MappedWindow SysfsPciDriver::MappedBar(CardHandle device, std::uint32_t space) {
    SysfsDevice* record = Own<SysfsDevice>(device);
    if (record == nullptr || WindowBytes(*record, space) == 0) {
        return {};
    }
    return {record->bar0, 0, record->window_bytes};
}

std::string SysfsPciDriver::DeviceDirectory(const PciSlot& slot) const {
    return devices_dir_ + "/" + SlotName(slot);
}

PciStatus SysfsPciDriver::MapResource0(const std::string& dir, std::uint64_t bar_bytes,
                                       SysfsDevice& record) {
    const int fd = calls_.Open(dir + "/resource0", O_RDWR | O_SYNC);
    if (fd < 0) {
        return SysfsOpenErrorStatus(-fd);
    }
    struct stat file_stat {};
    if (::fstat(fd, &file_stat) != 0 || file_stat.st_size < 4) {
        calls_.Close(fd);
        return kPciBarMissing;
    }
    // Never map or touch more than both the BAR and the file offer.
    const std::size_t window =
        std::min<std::uint64_t>(bar_bytes, static_cast<std::uint64_t>(file_stat.st_size));
    int error = 0;
    void* mapping = calls_.Map(fd, window, 0, error);
    if (mapping == nullptr) {
        calls_.Close(fd);
        const PciStatus status = SysfsOpenErrorStatus(error);
        return status == kPciBarMissing ? kPciSystemError : status;
    }
    record.fd = fd;
    record.bar0 = static_cast<volatile std::uint32_t*>(mapping);
    record.window_bytes = window;
    record.bar_access = "sysfs, " + dir + "/resource0";
    return kPciSuccess;
}

std::size_t SysfsPciDriver::WindowBytes(CardDevice& device, std::uint32_t space) {
    return space == 0 ? static_cast<SysfsDevice&>(device).window_bytes : 0;
}

std::uint32_t SysfsPciDriver::LoadWord(CardDevice& device, std::uint64_t offset) {
    return static_cast<SysfsDevice&>(device).bar0[offset / 4];
}

void SysfsPciDriver::StoreWord(CardDevice& device, std::uint64_t offset, std::uint32_t value) {
    static_cast<SysfsDevice&>(device).bar0[offset / 4] = value;
}

}  // namespace vantu
