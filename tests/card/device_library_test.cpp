#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "card/card_open.h"
#include "card/device_library.h"
#include "card/flash_access.h"
#include "scripted_driver_test.h"

namespace vantu {
namespace {

using testing::BarAccess;

std::string LastError() {
    return TESPCICONTROL_GetLastError();
}

using DeviceLibraryTest = testing::ScriptedDriverTest;

TEST_F(DeviceLibraryTest, OpenCountOpensAndClosesTheDriverOnce) {
    EXPECT_EQ(TESPCICONTROL_LibraryOpen(), kPciSuccess);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"SetDriverName TesPciControl",
                                                      "SetDebugOptions", "DriverOpen"}));
    EXPECT_EQ(driver.last_options, 3u);
    EXPECT_EQ(TESPCICONTROL_LibraryOpen(), kPciSuccess);
    EXPECT_EQ(driver.calls.size(), 3u);

    EXPECT_EQ(TESPCICONTROL_LibraryClose(), kPciSuccess);
    EXPECT_EQ(driver.CallCount("DriverClose"), 0);
    EXPECT_EQ(TESPCICONTROL_LibraryClose(), kPciSuccess);
    EXPECT_EQ(driver.CallCount("DriverClose"), 1);

    // A close without an open must not wrap the count round.
    EXPECT_EQ(TESPCICONTROL_LibraryClose(), kPciAlreadyInState);
    EXPECT_EQ(driver.CallCount("DriverClose"), 1);
}

TEST_F(DeviceLibraryTest, FailedLibraryOpenRecordsStatusAndTextAndIsRetried) {
    struct Case {
        const char* failing_call;
        PciStatus expected;
        std::string text;
    };
    const Case cases[] = {
        {"SetDriverName", kPciInvalidDriverName,
         "Failed to set the driver name for WDC library.\n"},
        {"DriverOpen", 0x12345678,
         "Failed to initialize the WDC library. Error 0x12345678 - Unknown status 0x12345678\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing_call);
        driver.accept_name = std::string(c.failing_call) != "SetDriverName";
        driver.statuses = {{c.failing_call, c.expected}};
        EXPECT_EQ(TESPCICONTROL_LibraryOpen(), c.expected);
        EXPECT_EQ(LastError(), c.text);

        // The failed open does not count: the next one goes to the driver again.
        driver.accept_name = true;
        driver.statuses.clear();
        driver.calls.clear();
        EXPECT_EQ(TESPCICONTROL_LibraryOpen(), kPciSuccess);
        EXPECT_EQ(driver.CallCount("DriverOpen"), 1);
        EXPECT_EQ(TESPCICONTROL_LibraryClose(), kPciSuccess);
    }
}

TEST_F(DeviceLibraryTest, LibraryCloseFailureAndLongTextsAreCut) {
    ASSERT_EQ(TESPCICONTROL_LibraryOpen(), kPciSuccess);
    driver.statuses["DriverClose"] = kPciSystemError;
    driver.long_status_text = std::string(400, 'x');
    EXPECT_EQ(TESPCICONTROL_LibraryClose(), kPciSystemError);
    const std::string prefix = "Failed to uninit the WDC library. Error 0x2000010a - ";
    EXPECT_EQ(LastError(), prefix + std::string(255 - prefix.size(), 'x'));
}

TEST_F(DeviceLibraryTest, DeviceOpenFailures) {
    EXPECT_EQ(TESPCICONTROL_DeviceOpen(nullptr), nullptr);

    driver.statuses["DeviceOpen"] = kPciPermissionDenied;
    EXPECT_EQ(OpenDevice(), nullptr);
    EXPECT_EQ(LastError(),
              "Failed opening a WDC device handle. Error 0x20000104 - Permission denied mapping "
              "the card's BAR 0 (resource0); install the udev rule of docs/card-access.md or "
              "run as root\n");
    EXPECT_EQ(driver.CallCount("DeviceClose"), 0);

    // A handle handed back with the failure is closed through the library.
    driver.return_handle_on_failed_open = true;
    EXPECT_EQ(OpenDevice(), nullptr);
    EXPECT_EQ(driver.CallCount("DeviceClose"), 1);
}

TEST_F(DeviceLibraryTest, FailedDeviceCloseAndMissingHandlesAreReported) {
    EXPECT_EQ(TESPCICONTROL_GetNumAddrSpaces(nullptr), 0u);
    EXPECT_EQ(LastError(), "TESPCICONTROL_GetNumAddrSpaces: NULL device handle\n");
    CardHandle device = OpenDevice();
    ASSERT_NE(device, nullptr);
    driver.null_context = true;
    AddrSpaceInfo info;
    EXPECT_FALSE(TESPCICONTROL_GetAddrSpaceInfo(device, info));
    driver.null_context = false;
    driver.statuses["DeviceClose"] = kPciInvalidHandle;
    EXPECT_FALSE(TESPCICONTROL_DeviceClose(device));
    char expected[160];
    std::snprintf(expected, sizeof expected,
                  "Failed closing a WDC device handle (0x%016" PRIXPTR
                  "). Error 0x2000001b - Invalid handle\n",
                  reinterpret_cast<std::uintptr_t>(device));
    EXPECT_EQ(LastError(), expected);

    EXPECT_FALSE(TESPCICONTROL_DeviceClose(nullptr));
}

TEST_F(DeviceLibraryTest, AddressSpaceDescriptions) {
    driver.items = {{kPciItemMemory, 0, 0xF7E00000, 0x10000}};
    driver.spaces.resize(6);
    driver.spaces[0] = {0, true, 0, 0x10000};
    driver.active_spaces = {0};
    CardHandle device = OpenDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(TESPCICONTROL_GetNumAddrSpaces(device), 6u);

    AddrSpaceInfo info;
    info.number = 0;
    ASSERT_TRUE(TESPCICONTROL_GetAddrSpaceInfo(device, info));
    EXPECT_STREQ(info.name, "BAR 0");
    EXPECT_STREQ(info.type, "Memory");
    EXPECT_STREQ(info.description, "0x00000000F7E00000 - 0x00000000F7E0FFFF (0x10000 bytes)");

    info.number = 1;  // listed but not active
    ASSERT_TRUE(TESPCICONTROL_GetAddrSpaceInfo(device, info));
    EXPECT_STREQ(info.description, "Inactive address space");
    info.number = 6;
    EXPECT_FALSE(TESPCICONTROL_GetAddrSpaceInfo(device, info));
    EXPECT_EQ(LastError(),
              "TESPCICONTROL_GetAddrSpaceInfo: Error - Address space 6 is out of range (0 - 5)\n");
    EXPECT_TRUE(TESPCICONTROL_DeviceClose(device));
}

TEST_F(DeviceLibraryTest, FindCardListsEveryCardAndGivesTheLastSlot) {
    driver.cards = {{0x534E, 0x6374, {0, 3, 0, 0}}, {0x534E, 0x6374, {0, 5, 1, 0}}};
    ASSERT_EQ(TESPCICONTROL_LibraryOpen(), kPciSuccess);
    PciSlot slot;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(FindCard(kCardVendorId, kCardDeviceId, slot));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "\n 1. Vendor ID: 0x534E, Device ID: 0x6374\n"
              "\n 2. Vendor ID: 0x534E, Device ID: 0x6374\n");
    EXPECT_EQ(std::tuple(slot.bus, slot.slot), std::tuple(5u, 1u));

    driver.calls.clear();
    EXPECT_FALSE(FindCard(0, kCardDeviceId, slot));
    EXPECT_EQ(driver.CallCount("ScanDevices"), 0);
    driver.statuses["ScanDevices"] = kPciSystemError;
    EXPECT_FALSE(FindCard(kCardVendorId, kCardDeviceId, slot));
    EXPECT_EQ(TESPCICONTROL_LibraryClose(), kPciSuccess);
}

class CardOpenTest : public testing::ScriptedDriverTest {
  protected:
    void SetUp() override {
        ScriptedDriverTest::SetUp();
        driver.cards = {{kCardVendorId, kCardDeviceId, {0, 3, 0, 0}}};
        driver.items = {{kPciItemMemory, 0, 0xF7E00000, 0x10000}};
        // The SPI controller is idle; the extended address register holds 1.
        driver.read_word = [this](std::uint64_t offset) -> std::uint32_t {
            if (offset == 0x10) {
                return 0;
            }
            return offset == 0x100 ? 0x01 : driver.words[offset];
        };
    }
};

TEST_F(CardOpenTest, OpensTheCardAndPreparesTheFlashAccess) {
    CardHandle card = reinterpret_cast<CardHandle>(1);
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(OpenCard(card), kPciSuccess);
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(card, &driver.device);
    const std::vector<BarAccess> expected = {
        {'R', 0, 0x0000, 0, 4},  {'R', 0, 0x8000, 0, 4},        {'W', 0, 0x10, 0x9000, 4},
        {'W', 0, 0x14, 0x70, 4}, {'W', 0, 0x10, 0x88080010, 4}, {'R', 0, 0x10, 0, 4},
        {'r', 0, 0x100, 0, 4},   {'W', 0, 0x14, 0xC8, 4},       {'W', 0, 0x10, 0x88080040, 4},
        {'R', 0, 0x10, 0, 4},    {'r', 0, 0x100, 0, 8},
    };
    EXPECT_EQ(driver.accesses, expected);
    EXPECT_EQ(driver.block_mode, kPciAccessMode32);
    CloseCard(card);
    EXPECT_EQ(driver.CallCount("DeviceClose"), 1);
    // The flash layer forgot the closed handle: nothing reaches the driver any more.
    driver.accesses.clear();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ReadFlashId(), (std::array<std::uint8_t, 4>{}));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "eeee");
    EXPECT_TRUE(driver.accesses.empty());
    EXPECT_EQ(TESPCICONTROL_LibraryClose(), kPciSuccess);
    EXPECT_EQ(driver.CallCount("DriverClose"), 1);
}

// The library is closed again whenever this open opened it; its own refusal comes back
// unchanged.
TEST_F(CardOpenTest, FailedOpenTouchesNoCardAndLeavesTheLibraryClosed) {
    struct Case {
        const char* name;
        bool card_present;
        const char* failing_call;
        PciStatus status;
    };
    const Case cases[] = {
        {"no card", false, "", kPciDeviceNotFound},
        {"no device info", true, "GetDeviceInfo", kPciDeviceOpenFailed},
        {"device open refused", true, "DeviceOpen", kPciDeviceOpenFailed},
        {"library open refused", true, "DriverOpen", kPciPermissionDenied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.card_present) {
            driver.cards.clear();
        }
        driver.statuses = {{c.failing_call, kPciPermissionDenied}};
        driver.calls.clear();
        CardHandle card = nullptr;
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(OpenCard(card), c.status);
        ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(card, nullptr);
        EXPECT_TRUE(driver.accesses.empty());
        const int opened = std::string(c.failing_call) == "DriverOpen" ? 0 : 1;
        EXPECT_EQ(driver.CallCount("ScanDevices"), opened);
        EXPECT_EQ(driver.CallCount("DriverClose"), opened);
        driver.cards = {{kCardVendorId, kCardDeviceId, {0, 3, 0, 0}}};
    }
}

}  // namespace
}  // namespace vantu
