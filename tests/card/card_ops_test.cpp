#include <vector>

#include "card/card_ops.h"
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

TEST_F(CardOpsTest, ReportBlockIndexWrapsAtFourteenAndReadsWordByWordUpwards) {
    for (std::uint32_t i = 0; i < 256; ++i) {
        driver.words[0x8C00 + i * 4] = 0x1000 + i;
    }
    std::vector<std::uint32_t> report(3584, 0xEEEEEEEE);
    ReadReportBlock(card, report.data(), 15);
    ASSERT_EQ(driver.accesses.size(), 256u);
    for (std::uint32_t i = 0; i < 256; ++i) {
        EXPECT_EQ(driver.accesses[i], (BarAccess{'R', 0, 0x8C00 + i * 4, 0x1000 + i, 4}));
        EXPECT_EQ(report[256 + i], 0x1000 + i);
    }
    EXPECT_EQ(report[255], 0xEEEEEEEEu);
    EXPECT_EQ(report[512], 0xEEEEEEEEu);

    driver.accesses.clear();
    ReadReportBlock(card, report.data(), 13);
    EXPECT_EQ(driver.accesses.front().offset, 0xBC00u);
    EXPECT_EQ(driver.accesses.back().offset, 0xBFFCu);
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
        EXPECT_EQ(driver.accesses.size(), c.mapped ? 0u : 256u);
        const std::uint32_t first = c.block * 256;
        for (std::uint32_t i = 0; i < 256; ++i) {
            const std::uint32_t offset = 0x8800 + (first + i) * 4;
            ASSERT_EQ(report[first + i], (c.mapped ? 0xB0000000 : 0xD0000000) | offset) << i;
        }
        if (first > 0) {
            EXPECT_EQ(report[first - 1], 0xEEEEEEEEu);
        }
        if (first + 256 < report.size()) {
            EXPECT_EQ(report[first + 256], 0xEEEEEEEEu);
        }
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
    EXPECT_EQ(report[512], 0u);
    EXPECT_EQ(report[767], 0u);
    EXPECT_EQ(report[768], 0xEEEEEEEEu);
    ClearReportBlock(nullptr, 0);
    ClearControlCodeMemory(nullptr);
    EnableControlCode(nullptr);
    StopControlCode(nullptr);
    EXPECT_FALSE(IsControlCodeBusy(nullptr));
    EXPECT_TRUE(driver.accesses.empty());
    EXPECT_TRUE(driver.calls.empty());
}

}  // namespace
}  // namespace vantu
