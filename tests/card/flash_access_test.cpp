#include <array>
#include <string>
#include <vector>

#include "card/flash_access.h"
#include "scripted_driver_test.h"

namespace vantu {
namespace {

using testing::BarAccess;

class FlashAccessTest : public testing::ScriptedDriverTest {
  protected:
    void SetUp() override {
        ScriptedDriverTest::SetUp();
        card = OpenDevice();
        ASSERT_NE(card, nullptr);
        InitFlashAccess(card, 0);
        // Idle controller; flag status ready after `busy_reads` status reads.
        driver.read_word = [this](std::uint64_t offset) -> std::uint32_t {
            if (offset == 0x10) {
                return control_reads++ < busy_polls ? 0x80000000 : 0;
            }
            if (offset == 0x100 && driver.words[0x14] == 0x70) {
                return status_reads++ < busy_reads ? 0x00 : 0x80;
            }
            return driver.words[offset];
        };
    }
    void TearDown() override {
        InitFlashAccess(nullptr, 0);
        TESPCICONTROL_DeviceClose(card);
        ScriptedDriverTest::TearDown();
    }

    int ReadsOf(std::uint64_t offset) const {
        int reads = 0;
        for (const BarAccess& access : driver.accesses) {
            reads += access.kind == 'R' && access.offset == offset ? 1 : 0;
        }
        return reads;
    }

    CardHandle card = nullptr;
    int control_reads = 0;
    int busy_polls = 0;
    int status_reads = 0;
    int busy_reads = 0;
};

TEST_F(FlashAccessTest, SpiIssueClampsTheBitCounts) {
    SpiIssue(0x08000000, 0x12345678, 40, 300);
    EXPECT_EQ(driver.accesses, (std::vector<BarAccess>{{'W', 0, 0x14, 0x12345678, 4},
                                                       {'W', 0, 0x10, 0x88200800, 4}}));
    driver.accesses.clear();
    ConfigureSpi(9);
    EXPECT_EQ(driver.accesses, (std::vector<BarAccess>{{'W', 0, 0x10, 0x9000, 4}}));
}

TEST_F(FlashAccessTest, ExtendedAddressIsWrittenOnlyWhenItChanges) {
    driver.words[0x100] = 0x01;
    EXPECT_EQ(ReadExtendedAddress(), 1u);
    driver.accesses.clear();
    SetExtendedAddress(1);
    EXPECT_TRUE(driver.accesses.empty());

    SetExtendedAddress(2);
    const std::vector<BarAccess> expected = {
        {'W', 0, 0x14, 0x06, 4},   {'W', 0, 0x10, 0x88080000, 4}, {'R', 0, 0x10, 0, 4},
        {'W', 0, 0x14, 0xC502, 4}, {'W', 0, 0x10, 0x88100000, 4}, {'R', 0, 0x10, 0, 4},
    };
    EXPECT_EQ(driver.accesses, expected);
    driver.accesses.clear();
    SetExtendedAddress(2);
    EXPECT_TRUE(driver.accesses.empty());

    // A new card forgets the cached value.
    InitFlashAccess(card, 0);
    SetExtendedAddress(2);
    EXPECT_FALSE(driver.accesses.empty());
}

TEST_F(FlashAccessTest, ShortReadsTransferWholeWordsButFillOnlyTheCallersBytes) {
    driver.words[0x100] = 0x44332211;
    std::array<std::uint8_t, 3> buffer = {0, 0, 0xEE};
    EXPECT_EQ(SpiRead(0x08000000, 0x9E, 8, std::span(buffer).first(2)), kPciSuccess);
    EXPECT_EQ(driver.accesses.back(), (BarAccess{'r', 0, 0x100, 0, 4}));
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 3>{0x11, 0x22, 0xEE}));

    // Writes pad the last word with 0xFF; the count sent is the caller's.
    driver.accesses.clear();
    const std::array<std::uint8_t, 5> data = {1, 2, 3, 4, 5};
    SpiWrite(0x08000000, 0x02000000, 32, data);
    EXPECT_EQ(driver.accesses[0], (BarAccess{'w', 0, 0x100, 0, 8}));
    EXPECT_EQ(driver.words[0x104], 0xFFFFFF05u);
    EXPECT_EQ(driver.accesses[2], (BarAccess{'W', 0, 0x10, 0x88200028, 4}));
}

TEST_F(FlashAccessTest, SpiWaitIdleTimesOutOnlyWhenTheLastPollWasBusy) {
    struct Case {
        int busy_polls;
        int max_polls;
        int expected;
        int polls;
        std::string marks;
    };
    const Case cases[] = {
        {0, 3, 0, 1, ""},
        {2, 3, 0, 3, ""},  // finished on the last allowed poll
        {3, 3, 1, 3, "t"},
        {5, 1, 1, 1, "t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.busy_polls);
        control_reads = 0;
        busy_polls = c.busy_polls;
        driver.accesses.clear();
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(SpiWaitIdle(c.max_polls), c.expected);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.marks);
        EXPECT_EQ(ReadsOf(0x10), c.polls);
    }
}

TEST_F(FlashAccessTest, WaitFlashReadyTimesOutOnlyWhenTheLastReadWasBusy) {
    struct Case {
        int busy_reads;
        int max_reads;
        int expected;
    };
    const Case cases[] = {{0, 2, 0}, {1, 2, 0}, {2, 2, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.busy_reads);
        status_reads = 0;
        busy_reads = c.busy_reads;
        EXPECT_EQ(WaitFlashReady(c.max_reads), c.expected);
        EXPECT_EQ(status_reads, std::min(c.busy_reads + 1, c.max_reads));
    }
}

TEST_F(FlashAccessTest, EraseAndProgramTimeOutsPrintTheirMarks) {
    busy_reads = 1 << 30;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ProgramPage(std::array<std::uint8_t, 4>{}, 0x100), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "WR TO ");
    EXPECT_EQ(status_reads, 1000);

    // The page program command carries the low 24 address bits after the extended byte.
    bool sent = false;
    for (const BarAccess& access : driver.accesses) {
        sent = sent || (access.kind == 'W' && access.offset == 0x14 && access.value == 0x02000100);
    }
    EXPECT_TRUE(sent);
}

TEST_F(FlashAccessTest, WithoutACardEveryAccessMarksAnError) {
    InitFlashAccess(nullptr, 0);
    ::testing::internal::CaptureStderr();
    FlashWriteEnable();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "eee");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ReadFlashId(), (std::array<std::uint8_t, 4>{}));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "eeee");
    EXPECT_TRUE(driver.accesses.empty());
}

}  // namespace
}  // namespace vantu
