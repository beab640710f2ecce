#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "card/card_ops.h"
#include "card/flash_access.h"
#include "scripted_driver_test.h"

namespace vantu {
namespace {

using testing::BarAccess;

class CardOpsTest : public testing::ScriptedDriverTest {
  protected:
    void SetUp() override {
        ScriptedDriverTest::SetUp();
        card = OpenDevice();
        ASSERT_NE(card, nullptr);
    }
    void TearDown() override {
        TESPCICONTROL_DeviceClose(card);
        ScriptedDriverTest::TearDown();
    }

    std::vector<BarAccess> WritesOf(std::uint32_t first, std::uint32_t count, std::uint32_t value) {
        std::vector<BarAccess> writes;
        for (std::uint32_t i = 0; i < count; ++i) {
            writes.push_back({'W', 0, first + i * 4, value, 4});
        }
        return writes;
    }

    CardHandle card = nullptr;
};

TEST_F(CardOpsTest, RegisterOffsetsLoseTheirLowTwoBits) {
    driver.words[0x8004] = 0x80000001;
    std::uint32_t value = 0xDEAD;
    EXPECT_EQ(ReadCardRegister(card, 0x8007, value), 0);
    EXPECT_EQ(value, 0x80000001u);
    EXPECT_EQ(WriteCardRegister(card, 0x8007, 0x1234), 0);
    EXPECT_EQ(driver.accesses, (std::vector<BarAccess>{{'R', 0, 0x8004, 0x80000001, 4},
                                                       {'W', 0, 0x8004, 0x1234, 4}}));
}

// The mapped image holds 0xB000xxxx, the driver's single reads give 0xD000xxxx (xxxx =
// offset), so the words tell which path read them and from which offset.
TEST_F(CardOpsTest, ReportBlockIsLoadedFromTheMappedWindowOnlyWhenItCoversTheBlock) {
    std::vector<std::uint32_t> bar(0x10000 / 4);
    for (std::uint32_t offset = 0; offset < 0x10000; offset += 4) {
        bar[offset / 4] = 0xB0000000 | offset;
        driver.words[offset] = 0xD0000000 | offset;
    }
    struct Case {
        const char* name;
        std::uint64_t begin;
        std::uint64_t end;
        std::uint32_t block;
        bool mapped;
    };
    const Case cases[] = {
        {"whole BAR", 0x0000, 0x10000, 13, true},
        {"exactly block 0", 0x8800, 0x8C00, 0, true},
        {"block 1 past its end", 0x8800, 0x8C00, 1, false},
        {"one word short", 0x8800, 0x8BFC, 0, false},
        {"starts one word late", 0x8804, 0xC000, 0, false},
        {"words out of step with the block", 0x8802, 0xC000, 1, false},
        {"ends before the block", 0x0000, 0x0100, 0, false},
        {"end before begin", 0xC000, 0x8800, 13, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        driver.window = {bar.data() + c.begin / 4, c.begin, c.end};
        driver.accesses.clear();
        driver.calls.clear();
        std::vector<std::uint32_t> report(3584, 0xEEEEEEEE);
        ReadReportBlock(card, report.data(), c.block + 14);
        EXPECT_EQ(driver.calls.front(), "MappedBar 0");
        // Without the window the block is read word by word upwards.
        EXPECT_EQ(driver.accesses.size(), c.mapped ? 0u : 256u);
        const std::uint32_t first = c.block * 256;
        for (std::uint32_t i = 0; i < 256; ++i) {
            const std::uint32_t offset = 0x8800 + (first + i) * 4;
            ASSERT_EQ(report[first + i], (c.mapped ? 0xB0000000 : 0xD0000000) | offset) << i;
            if (!c.mapped) {
                ASSERT_EQ(driver.accesses[i], (BarAccess{'R', 0, offset, 0xD0000000 | offset, 4}));
            }
        }
        // Nothing outside the block is touched.
        EXPECT_EQ(std::ranges::count(report, 0xEEEEEEEEu), 3584 - 256);
    }
}

TEST_F(CardOpsTest, ClearsWriteZeroWordByWord) {
    ClearReportBlock(card, 16);
    EXPECT_EQ(driver.accesses, WritesOf(0x9000, 256, 0));
    driver.accesses.clear();
    ClearControlCodeMemory(card);
    EXPECT_EQ(driver.accesses, WritesOf(0xC000, 2048, 0));
}

TEST_F(CardOpsTest, SequencerCommandsAndBusyBit) {
    EnableControlCode(card);
    StopControlCode(card);
    EXPECT_EQ(driver.accesses, (std::vector<BarAccess>{{'W', 0, 0x8008, 0, 4},
                                                       {'W', 0, 0x8004, 0xC0000000, 4},
                                                       {'W', 0, 0x8004, 0x30000000, 4}}));
    driver.words[0x8004] = 0x80000000;
    EXPECT_TRUE(IsControlCodeBusy(card));
    driver.words[0x8004] = 0x7FFFFFFF;
    EXPECT_FALSE(IsControlCodeBusy(card));
}

TEST_F(CardOpsTest, NullHandleNeverReachesTheDriver) {
    std::vector<std::uint32_t> bar(0x10000 / 4, 0xB0B0B0B0);
    driver.window = {bar.data(), 0, 0x10000};
    driver.calls.clear();
    std::uint32_t value = 0xDEAD;
    EXPECT_EQ(ReadCardRegister(nullptr, 0x8004, value), 0);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(WriteCardRegister(nullptr, 0x8004, 1), 0);
    std::vector<std::uint32_t> report(3584, 0xEEEEEEEE);
    ReadReportBlock(nullptr, report.data(), 2);
    EXPECT_EQ(std::tuple(report[512], report[767], report[768]), std::tuple(0u, 0u, 0xEEEEEEEEu));
    ClearReportBlock(nullptr, 0);
    ClearControlCodeMemory(nullptr);
    EnableControlCode(nullptr);
    StopControlCode(nullptr);
    EXPECT_FALSE(IsControlCodeBusy(nullptr));
    EXPECT_TRUE(driver.accesses.empty());
    EXPECT_TRUE(driver.calls.empty());
}

// The flash layer on the opened card.
class FlashAccessTest : public CardOpsTest {
  protected:
    void SetUp() override {
        CardOpsTest::SetUp();
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
        CardOpsTest::TearDown();
    }

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
        std::size_t polls;
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
        // Each poll is one read of the control register, and nothing else reaches the card.
        EXPECT_EQ(driver.accesses.size(), c.polls);
    }
}

TEST_F(FlashAccessTest, WaitFlashReadyTimesOutOnlyWhenTheLastReadWasBusy) {
    // Two reads allowed: ready on the second is no time-out.
    for (const int busy : {0, 1, 2}) {
        SCOPED_TRACE(busy);
        status_reads = 0;
        busy_reads = busy;
        EXPECT_EQ(WaitFlashReady(2), busy == 2 ? 1 : 0);
        EXPECT_EQ(status_reads, std::min(busy + 1, 2));
    }
}

TEST_F(FlashAccessTest, EraseAndProgramTimeOutsPrintTheirMarks) {
    busy_reads = 1 << 30;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ProgramPage(std::array<std::uint8_t, 4>{}, 0x100), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "WR TO ");
    EXPECT_EQ(status_reads, 1000);

    // The page program command carries the low 24 address bits after the extended byte.
    EXPECT_EQ(std::ranges::count(driver.accesses, BarAccess{'W', 0, 0x14, 0x02000100, 4}), 1);
}

}  // namespace
}  // namespace vantu
