#include <string>
#include <vector>

#include "card/card_open.h"
#include "card/device_library.h"
#include "card/flash_access.h"
#include "scripted_driver_test.h"

namespace vantu {
namespace {

using testing::BarAccess;

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
    // The flash layer forgot the closed handle: nothing reaches the driver any more.
    driver.accesses.clear();
    ::testing::internal::CaptureStderr();
    FlashWriteEnable();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "eee");
    EXPECT_TRUE(driver.accesses.empty());
    EXPECT_EQ(TESPCICONTROL_LibraryClose(), kPciSuccess);
    EXPECT_EQ(driver.CallCount("DriverClose"), 1);
}

TEST_F(CardOpenTest, FailedOpenTouchesNoCardAndLeavesTheLibraryClosed) {
    struct Case {
        const char* name;
        bool card_present;
        const char* failing_call;
    };
    const Case cases[] = {
        {"no card", false, ""},
        {"no device info", true, "GetDeviceInfo"},
        {"device open refused", true, "DeviceOpen"},
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
        EXPECT_NE(OpenCard(card), kPciSuccess);
        ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(card, nullptr);
        EXPECT_TRUE(driver.accesses.empty());
        EXPECT_EQ(driver.CallCount("DriverClose"), 1);
        driver.cards = {{kCardVendorId, kCardDeviceId, {0, 3, 0, 0}}};
    }
}

TEST_F(CardOpenTest, LibraryOpenFailureIsReturnedUnchanged) {
    driver.statuses["DriverOpen"] = kPciNoPciBus;
    CardHandle card = nullptr;
    EXPECT_EQ(OpenCard(card), kPciNoPciBus);
    EXPECT_EQ(card, nullptr);
    EXPECT_EQ(driver.CallCount("ScanDevices"), 0);
}

}  // namespace
}  // namespace vantu
