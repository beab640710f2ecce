#include <gtest/gtest.h>
#include <linux/vfio.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "card/card_open.h"
#include "card/device_library.h"
#include "card/sysfs_pci_driver.h"
#include "temp_dir.h"

namespace vantu {
namespace {

constexpr std::size_t kBarBytes = 0x10000;
constexpr std::uint64_t kRegionOffset = 0x7000000000;

// A VFIO layer with group 12 holding the card, its BAR 0 region in memory. Other paths
// reach the test's sysfs tree, but mapping resource0 fails as on a locked-down kernel.
struct FakeVfio : DeviceCalls {
    int Open(const std::string& path, int flags) override {
        const int fd = path == "/dev/vfio/vfio" ? 1000 : path == "/dev/vfio/12" ? 1001 : -1;
        if (fd > 0) {
            open.insert(fd);
            return fd;
        }
        return path.starts_with("/dev/") ? -ENOENT : SystemDeviceCalls().Open(path, flags);
    }
    void Close(int fd) override {
        if (open.erase(fd) == 0) {
            SystemDeviceCalls().Close(fd);
        }
    }
    int Ioctl(int fd, unsigned long request, std::uintptr_t argument) override {
        if (request == failing || open.count(fd) == 0) {
            return -EIO;
        }
        switch (request) {
            case VFIO_GET_API_VERSION:
                return VFIO_API_VERSION;
            case VFIO_GROUP_GET_STATUS:
                reinterpret_cast<vfio_group_status*>(argument)->flags = VFIO_GROUP_FLAGS_VIABLE;
                return 0;
            case VFIO_GROUP_SET_CONTAINER:
                return *reinterpret_cast<const int*>(argument) == 1000 ? 0 : -EINVAL;
            case VFIO_GROUP_GET_DEVICE_FD:
                if (std::string(reinterpret_cast<const char*>(argument)) != "0000:03:00.0") {
                    return -ENODEV;
                }
                open.insert(1002);
                return 1002;
            case VFIO_DEVICE_GET_REGION_INFO: {
                auto* info = reinterpret_cast<vfio_region_info*>(argument);
                info->flags = region_flags;
                info->size = region.size() * 4;
                info->offset = kRegionOffset;
                return info->index == VFIO_PCI_BAR0_REGION_INDEX ? 0 : -EINVAL;
            }
            default:  // VFIO_CHECK_EXTENSION, VFIO_SET_IOMMU
                return argument == VFIO_TYPE1_IOMMU;
        }
    }
    void* Map(int fd, std::size_t bytes, std::uint64_t offset, int& error) override {
        error = EPERM;
        if (fd != 1002 || offset != kRegionOffset || bytes > region.size() * 4) {
            return nullptr;
        }
        ++mappings;
        return region.data();
    }
    void Unmap(void*, std::size_t) override { --mappings; }

    std::vector<std::uint32_t> region = std::vector<std::uint32_t>(kBarBytes / 4);
    std::uint32_t region_flags =
        VFIO_REGION_INFO_FLAG_READ | VFIO_REGION_INFO_FLAG_WRITE | VFIO_REGION_INFO_FLAG_MMAP;
    unsigned long failing = 0;
    std::set<int> open;
    int mappings = 0;
};

class VfioBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string dir = "bus/pci/devices/0000:03:00.0";
        tree.MakeDir(dir);
        tree.Write(dir + "/vendor", "0x534e\n");
        tree.Write(dir + "/device", "0x6374\n");
        tree.Write(dir + "/resource", "0xf7000000 0xf700ffff 0x40200\n");
        tree.Write(dir + "/resource0", std::string(kBarBytes, '\0'));
        std::filesystem::create_symlink("../../drivers/vfio-pci", tree.File(dir + "/driver"));
        std::filesystem::create_symlink("../../iommu_groups/12", tree.File(dir + "/iommu_group"));
        EXPECT_EQ(driver.DriverOpen(0), kPciSuccess);
        info.slot = {0, 3, 0, 0};
        EXPECT_EQ(driver.GetDeviceInfo(info), kPciSuccess);
    }

    testing::TempDir tree;
    FakeVfio vfio;
    SysfsPciDriver driver{tree.path(), vfio};
    PciCardInfo info;
};

TEST_F(VfioBarTest, RefusedResource0MapsThroughVfioWithTheSameBounds) {
    CardHandle card = nullptr;
    vfio.region.resize(0x8000 / 4);  // the window is the smaller of BAR and region
    ASSERT_EQ(driver.DeviceOpen(card, info, nullptr), kPciSuccess);
    EXPECT_EQ(card->bar_access, "VFIO, /dev/vfio/12");
    EXPECT_EQ(driver.WriteAddr32(card, 0, 0x7FFC, 0x12345678), kPciSuccess);
    EXPECT_EQ(vfio.region.back(), 0x12345678u);
    std::uint32_t value = 0xDEAD;
    for (std::uint64_t offset : {0x8000ull, 0xFFFCull, 0xFFFFFFFCull}) {
        EXPECT_EQ(driver.ReadAddr32(card, 0, offset, value), kPciOutsideWindow) << offset;
        EXPECT_EQ(value, 0u);
    }
    std::uint32_t block[2] = {1, 2};
    EXPECT_EQ(driver.WriteAddrBlock(card, 0, 0x7FFC, 8, block, kPciAccessMode32),
              kPciOutsideWindow);
    EXPECT_EQ(vfio.region.back(), 0x12345678u);
    EXPECT_EQ(driver.MappedBar(card, 0).end, 0x8000u);
    EXPECT_EQ(driver.DeviceClose(card), kPciSuccess);
    EXPECT_TRUE(vfio.open.empty());
    EXPECT_EQ(vfio.mappings, 0);
}

TEST_F(VfioBarTest, AFailedStepLeavesNothingOpenOrMapped) {
    struct Case {
        unsigned long failing;
        std::uint32_t region_flags;
        const char* group;
        const char* driver;
        PciStatus status;
    };
    const std::uint32_t all = vfio.region_flags;
    const Case cases[] = {
        {VFIO_GET_API_VERSION, all, "12", "vfio-pci", kPciVfioFailed},
        {VFIO_CHECK_EXTENSION, all, "12", "vfio-pci", kPciVfioFailed},
        {VFIO_GROUP_GET_STATUS, all, "12", "vfio-pci", kPciVfioFailed},
        {VFIO_GROUP_SET_CONTAINER, all, "12", "vfio-pci", kPciVfioFailed},
        {VFIO_SET_IOMMU, all, "12", "vfio-pci", kPciVfioFailed},
        {VFIO_GROUP_GET_DEVICE_FD, all, "12", "vfio-pci", kPciVfioFailed},
        {VFIO_DEVICE_GET_REGION_INFO, all, "12", "vfio-pci", kPciVfioFailed},
        {0, all & ~VFIO_REGION_INFO_FLAG_MMAP, "12", "vfio-pci", kPciVfioFailed},
        {0, all, "13", "vfio-pci", kPciVfioFailed},
        {0, all, "12", "other", kPciPermissionDenied},  // not for VFIO: resource0's refusal
    };
    const std::string dir = tree.File("bus/pci/devices/0000:03:00.0/");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.failing) + c.group + c.driver);
        vfio.failing = c.failing;
        vfio.region_flags = c.region_flags;
        std::filesystem::remove(dir + "iommu_group");
        std::filesystem::remove(dir + "driver");
        std::filesystem::create_symlink(std::string("../../iommu_groups/") + c.group,
                                        dir + "iommu_group");
        std::filesystem::create_symlink(std::string("../../drivers/") + c.driver, dir + "driver");
        CardHandle card = nullptr;
        EXPECT_EQ(driver.DeviceOpen(card, info, nullptr), c.status);
        EXPECT_EQ(card, nullptr);
        EXPECT_TRUE(vfio.open.empty());
        EXPECT_EQ(vfio.mappings, 0);
    }
}

}  // namespace
}  // namespace vantu
