#include "card/vfio_bar.h"

#include <fcntl.h>
#include <linux/vfio.h>

#include <algorithm>
#include <filesystem>

namespace vantu {
namespace {

constexpr const char* kVfioDir = "/dev/vfio/";

std::uintptr_t Argument(const void* pointer) {
    return reinterpret_cast<std::uintptr_t>(pointer);
}

// Container with the type 1 IOMMU and the viable group in it; the device fd from it.
bool OpenDevice(DeviceCalls& calls, const std::string& group, const std::string& slot_name,
                VfioBar& bar) {
    bar.container = calls.Open(std::string(kVfioDir) + "vfio", O_RDWR);
    if (bar.container < 0 ||
        calls.Ioctl(bar.container, VFIO_GET_API_VERSION, 0) != VFIO_API_VERSION ||
        calls.Ioctl(bar.container, VFIO_CHECK_EXTENSION, VFIO_TYPE1_IOMMU) <= 0) {
        return false;
    }
    bar.group = calls.Open(kVfioDir + group, O_RDWR);
    if (bar.group < 0) {
        return false;
    }
    vfio_group_status status{};
    status.argsz = sizeof status;
    if (calls.Ioctl(bar.group, VFIO_GROUP_GET_STATUS, Argument(&status)) < 0 ||
        (status.flags & VFIO_GROUP_FLAGS_VIABLE) == 0 ||
        calls.Ioctl(bar.group, VFIO_GROUP_SET_CONTAINER, Argument(&bar.container)) < 0 ||
        calls.Ioctl(bar.container, VFIO_SET_IOMMU, VFIO_TYPE1_IOMMU) < 0) {
        return false;
    }
    bar.device = calls.Ioctl(bar.group, VFIO_GROUP_GET_DEVICE_FD, Argument(slot_name.c_str()));
    return bar.device >= 0;
}

bool MapRegion0(DeviceCalls& calls, std::uint64_t bar_bytes, VfioBar& bar) {
    vfio_region_info region{};
    region.argsz = sizeof region;
    region.index = VFIO_PCI_BAR0_REGION_INDEX;
    constexpr std::uint32_t kNeeded =
        VFIO_REGION_INFO_FLAG_READ | VFIO_REGION_INFO_FLAG_WRITE | VFIO_REGION_INFO_FLAG_MMAP;
    if (calls.Ioctl(bar.device, VFIO_DEVICE_GET_REGION_INFO, Argument(&region)) < 0 ||
        (region.flags & kNeeded) != kNeeded || region.size < 4) {
        return false;
    }
    // Never map or touch more than both the BAR and the region offer.
    const std::size_t bytes = std::min<std::uint64_t>(bar_bytes, region.size);
    int error = 0;
    bar.mapping = calls.Map(bar.device, bytes, region.offset, error);
    if (bar.mapping == nullptr) {
        return false;
    }
    bar.bytes = bytes;
    return true;
}

}  // namespace

std::string VfioGroupOf(const std::string& device_dir) {
    std::error_code error;
    const std::filesystem::path driver =
        std::filesystem::read_symlink(device_dir + "/driver", error);
    if (error || driver.filename() != "vfio-pci") {
        return {};
    }
    const std::filesystem::path group =
        std::filesystem::read_symlink(device_dir + "/iommu_group", error);
    return error ? std::string() : group.filename().string();
}

PciStatus MapBar0ThroughVfio(DeviceCalls& calls, const std::string& group,
                             const std::string& slot_name, std::uint64_t bar_bytes, VfioBar& bar) {
    bar.group_name = group;
    if (!OpenDevice(calls, group, slot_name, bar) || !MapRegion0(calls, bar_bytes, bar)) {
        ReleaseVfioBar(calls, bar);
        return kPciVfioFailed;
    }
    return kPciSuccess;
}

void ReleaseVfioBar(DeviceCalls& calls, VfioBar& bar) {
    if (bar.mapping != nullptr) {
        calls.Unmap(bar.mapping, bar.bytes);
    }
    for (int fd : {bar.device, bar.group, bar.container}) {
        if (fd >= 0) {
            calls.Close(fd);
        }
    }
    bar = VfioBar{};
}

}  // namespace vantu
