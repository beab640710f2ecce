#include <gtest/gtest.h>
#include <linux/vfio.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "card/card_device.h"
#include "card/card_open.h"
#include "card/card_ops.h"
#include "card/device_library.h"
#include "card/sysfs_pci_driver.h"
#include "temp_dir.h"

namespace vantu {
namespace {

constexpr const char* kCardDir = "bus/pci/devices/0000:03:00.0";
constexpr std::size_t kBarBytes = 0x10000;

std::string ResourceFile(bool with_bar0) {
    std::string text = with_bar0 ? "0x00000000f7000000 0x00000000f700ffff 0x0000000000040200\n"
                                 : "0x0000000000000000 0x0000000000000000 0x0000000000000000\n";
    text += "0x0000000000000000 0x0000000000000000 0x0000000000000000\n";
    text += "0x000000000000e000 0x000000000000e07f 0x0000000000040101\n";
    return text;
}

// The card's directory in a sysfs tree, BAR 0 all zeros.
void WriteCardTree(testing::TempDir& tree, const std::string& resource) {
    const std::string dir = std::string(kCardDir) + "/";
    tree.MakeDir(kCardDir);
    tree.Write(dir + "vendor", "0x534e\n");
    tree.Write(dir + "device", "0x6374\n");
    tree.Write(dir + "resource", resource);
    tree.Write(dir + "resource0", std::string(kBarBytes, '\0'));
}

// A sysfs tree with the card, another device and a stray entry; the card's BAR 0 holds
// its ID and a pattern over the report blocks.
class SysfsPciDriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteCardTree(tree, ResourceFile(true));
        Write("enable", "0\n");
        std::string bar(kBarBytes, '\0');
        const std::uint32_t id = 0x534E6374;
        std::memcpy(bar.data(), &id, 4);
        for (std::uint32_t offset = 0x8800; offset < 0xC000; offset += 4) {
            const std::uint32_t word = 0x5A000000u ^ (offset * 0x9E37u);
            std::memcpy(bar.data() + offset, &word, 4);
        }
        Write("resource0", bar);
        tree.MakeDir("bus/pci/devices/0000:00:1f.0");
        tree.Write("bus/pci/devices/0000:00:1f.0/vendor", "0x8086\n");
        tree.Write("bus/pci/devices/0000:00:1f.0/device", "0x6374\n");
        tree.MakeDir("bus/pci/devices/not-a-device");
        previous_ = InstallPciDriver(&driver);
    }
    void TearDown() override { InstallPciDriver(previous_); }

    void Write(const std::string& name, const std::string& bytes) {
        tree.Write(std::string(kCardDir) + "/" + name, bytes);
    }
    std::string Read(const std::string& name) {
        return tree.Read(std::string(kCardDir) + "/" + name);
    }
    // The file behind BAR 0 has no SPI controller: the flash set-up at open times out.
    PciStatus Open(CardHandle& card) {
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const PciStatus status = OpenCard(card);
        ::testing::internal::GetCapturedStderr();
        ::testing::internal::GetCapturedStdout();
        return status;
    }

    testing::TempDir tree;
    SysfsPciDriver driver{tree.path()};

  private:
    PciDriver* previous_ = nullptr;
};

TEST_F(SysfsPciDriverTest, ScanFindsTheCardByItsVendorAndDeviceFiles) {
    ASSERT_EQ(driver.DriverOpen(3), kPciSuccess);
    PciScanResult result;
    ASSERT_EQ(driver.ScanDevices(0x534E, 0x6374, result), kPciSuccess);
    ASSERT_EQ(result.cards.size(), 1u);
    const PciScannedCard& card = result.cards[0];
    EXPECT_EQ(std::tuple(card.slot.bus, card.slot.slot, card.device_id),
              std::tuple(3u, 0u, 0x6374u));

    PciCardInfo info;
    info.slot = result.cards[0].slot;
    ASSERT_EQ(driver.GetDeviceInfo(info), kPciSuccess);
    ASSERT_EQ(info.items.size(), 2u);
    EXPECT_EQ(std::tuple(info.items[0].type, info.items[0].physical_address, info.items[0].size),
              std::tuple(kPciItemMemory, 0xF7000000u, 0x10000u));
    EXPECT_EQ(std::tuple(info.items[1].type, info.items[1].bar), std::tuple(kPciItemIo, 2u));
    info.slot.bus = 4;
    EXPECT_EQ(driver.GetDeviceInfo(info), kPciDeviceNotFound);
}

TEST_F(SysfsPciDriverTest, MapsBar0EnablesTheDeviceAndReachesTheFile) {
    CardHandle card = nullptr;
    ASSERT_EQ(Open(card), kPciSuccess);
    EXPECT_EQ(Read("enable"), "1\n");

    std::uint32_t id = 0;
    ReadCardRegister(card, 0x0000, id);
    EXPECT_EQ(id, 0x534E6374u);
    WriteCardRegister(card, 0xC000, 0x12345678);
    EXPECT_EQ(Read("resource0").substr(0xC000, 4), "\x78\x56\x34\x12");
    ASSERT_EQ(TESPCICONTROL_GetNumAddrSpaces(card), 3u);

    const MappedWindow window = driver.MappedBar(card, 0);
    EXPECT_EQ(std::tuple(window.base != nullptr, window.begin, window.end),
              std::tuple(true, 0u, kBarBytes));
    EXPECT_EQ(driver.MappedBar(card, 1).base, nullptr);
    EXPECT_EQ(driver.MappedBar(nullptr, 0).base, nullptr);
    std::vector<std::uint32_t> report(3584);
    ReadReportBlock(card, report.data(), 13);
    EXPECT_EQ(std::memcmp(report.data() + 13 * 256, Read("resource0").data() + 0xBC00, 1024), 0);

    CloseCard(card);
    EXPECT_EQ(TESPCICONTROL_LibraryClose(), kPciSuccess);
}

TEST_F(SysfsPciDriverTest, AccessesOutsideTheWindowAreRefused) {
    CardHandle card = nullptr;
    ASSERT_EQ(Open(card), kPciSuccess);
    const std::uint32_t offsets[] = {0x10000, 0x1FFFC, 0xFFFFFFFC};
    for (std::uint32_t offset : offsets) {
        SCOPED_TRACE(offset);
        std::uint32_t value = 0xDEAD;
        ReadCardRegister(card, offset, value);
        EXPECT_EQ(value, 0u);
        WriteCardRegister(card, offset, 0xFFFFFFFF);
        EXPECT_NE(std::string(TESPCICONTROL_GetLastError()).find("outside the 0x10000-byte window"),
                  std::string::npos);
    }
    EXPECT_EQ(Read("resource0").size(), kBarBytes);

    std::uint32_t block[2] = {1, 2};
    EXPECT_EQ(driver.ReadAddrBlock(card, 0, 0xFFFC, 8, block, kPciAccessMode32), kPciOutsideWindow);
    EXPECT_EQ(block[0], 0u);
    EXPECT_EQ(driver.WriteAddrBlock(card, 0, 0x2, 4, block, kPciAccessMode32),
              kPciInvalidParameter);
    EXPECT_EQ(driver.ReadAddrBlock(card, 1, 0, 4, block, kPciAccessMode32), kPciOutsideWindow);
    CloseCard(card);
    TESPCICONTROL_LibraryClose();
}

TEST_F(SysfsPciDriverTest, MissingBarGivesAFailedOpenWithAReadableText) {
    struct Case {
        const char* name;
        bool with_bar0_line;
        bool with_resource0;
    };
    const Case cases[] = {{"no resource0", true, false}, {"no BAR 0 resource", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write("resource", ResourceFile(c.with_bar0_line));
        if (!c.with_resource0) {
            std::remove(tree.File(std::string(kCardDir) + "/resource0").c_str());
        }
        CardHandle card = reinterpret_cast<CardHandle>(1);
        EXPECT_EQ(Open(card), kPciDeviceOpenFailed);
        EXPECT_EQ(card, nullptr);
        EXPECT_STREQ(TESPCICONTROL_GetLastError(),
                     "Failed opening a WDC device handle. Error 0x20000105 - The card has no "
                     "memory BAR 0 to map\n");
    }
}

TEST(SysfsPciDriverRootTest, NoPciBusDirectoryFailsTheDriverOpen) {
    const testing::TempDir empty;
    EXPECT_EQ(SysfsPciDriver(empty.path()).DriverOpen(3), kPciNoPciBus);
}

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
        WriteCardTree(tree, "0xf7000000 0xf700ffff 0x40200\n");
        const std::string dir = kCardDir;
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
    const std::string dir = tree.File(std::string(kCardDir) + "/");
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
