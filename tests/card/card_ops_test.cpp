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
}

}  // namespace
}  // namespace vantu
