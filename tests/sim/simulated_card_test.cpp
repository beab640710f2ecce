#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "card/card_ops.h"
#include "card/device_library.h"
#include "card/flash_access.h"
#include "fake_ports.h"
#include "quiet_card.h"

namespace vantu {
namespace {

constexpr std::int64_t kWordNs = 1'500'000;
// 1 MHz: a byte keeps the SPI busy for 8 us.
constexpr std::int64_t kSpiHz = 1'000'000;

class SimulatedCardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session = testing::QuietSimulatedCard({.word_time_ns = kWordNs,
                                               .spi_clock_hz = kSpiHz,
                                               .erase_busy_us = 2000,
                                               .program_busy_us = 300,
                                               .clock = &clock});
        ASSERT_NE(session, nullptr);
        card = session->handle();
    }

    testing::FakeClock clock;
    std::unique_ptr<SimulatedCardSession> session;
    CardHandle card = nullptr;
};

TEST_F(SimulatedCardTest, OpensThroughOpenCardWithIdWordsAndOneBar) {
    std::uint32_t value = 0;
    ReadCardRegister(card, 0x0000, value);
    EXPECT_EQ(value, SimulatedCard::kIdWordValue);
    ReadCardRegister(card, 0x8000, value);
    EXPECT_EQ(value, SimulatedCard::kSequencerIdValue);
    WriteCardRegister(card, 0x0000, 0);
    ReadCardRegister(card, 0x0000, value);
    EXPECT_EQ(value, SimulatedCard::kIdWordValue);
    ASSERT_EQ(TESPCICONTROL_GetNumAddrSpaces(card), 1u);
    // Card open configured the SPI controller and read the flash's extended address.
    ReadCardRegister(card, 0x10, value);
    EXPECT_EQ(value & 0xFFFF, 0x0040u);
}

// The sequencer walks the words up to the last nonzero one, one word time each.
TEST_F(SimulatedCardTest, RunWalksTheLoadedWordsAndEndsOnStop) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> words;  // from 0xC000
        std::int64_t end_ns;               // the busy bit clears here
        bool stop = false;                 // by a stop at end_ns
    };
    const Case cases[] = {
        {"three words", {7, 8, 9}, 3 * kWordNs},
        {"zero inside counts", {7, 0, 9}, 3 * kWordNs},
        {"trailing zeros do not", {7, 0, 0}, kWordNs},
        {"empty memory", {}, 0},
        {"stopped midway", {7, 8, 9}, kWordNs + 10, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clock.nanos = 0;
        ClearControlCodeMemory(card);
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            WriteCardRegister(card, 0xC000 + 4 * static_cast<std::uint32_t>(i), c.words[i]);
        }
        WriteCardRegister(card, 0x8008, 7);
        EnableControlCode(card);
        EXPECT_EQ(session->card().SequencerParameter(), 0u);
        if (c.end_ns > 0) {
            clock.nanos = c.end_ns - 1;
            EXPECT_TRUE(IsControlCodeBusy(card));
        }
        clock.nanos = c.end_ns;
        if (c.stop) {
            StopControlCode(card);
        }
        EXPECT_FALSE(IsControlCodeBusy(card));
        EXPECT_FALSE(session->card().IsControlCodeRunning());
    }
}

TEST_F(SimulatedCardTest, SpiTransferKeepsTheRunningBitForItsBitTime) {
    std::uint32_t control = 0;
    // 8 command bits and 16 data bits: 24 us at 1 MHz.
    SpiIssue(0x08000000, 0x70, 8, 2);
    clock.micros += 23;
    ReadCardRegister(card, 0x10, control);
    EXPECT_EQ(control, 0x88080010u);
    clock.micros += 1;
    ReadCardRegister(card, 0x10, control);
    EXPECT_EQ(control, 0x08080010u);
    clock.micros += 1000;
    // The flash answered as the transfer started: ready, idle.
    EXPECT_EQ(ReadFlagStatus()[0] & 0x80, 0x80);
}

TEST_F(SimulatedCardTest, OffsetsOutsideTheWindowAreRefused) {
    WriteCardRegister(card, 0x10000, 0x1234);
    EXPECT_STREQ(TESPCICONTROL_GetLastError(),
                 "BAR 0 access of 4 bytes at offset 0x10000 lies outside the 0x10000-byte "
                 "window; refused\n");
    std::uint32_t value = 0xDEAD;
    ReadCardRegister(card, 0xFFFFFFFF, value);
    EXPECT_EQ(value, 0u);
    ReadCardRegister(card, 0x0000, value);
    EXPECT_EQ(value, SimulatedCard::kIdWordValue);
}

// Nothing in the station uses them; one pass keeps the driver calls honest.
TEST_F(SimulatedCardTest, InterruptAndEventSmoke) {
    std::vector<InterruptResult> results;
    ASSERT_EQ(TESPCICONTROL_IntEnable(
                  card, [&](CardHandle, const InterruptResult& r) { results.push_back(r); }),
              kPciSuccess);
    session->driver().RaiseInterrupt(card, 0x66);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].last_message, 0x66u);
    EXPECT_EQ(TESPCICONTROL_IntDisable(card), kPciSuccess);

    std::vector<std::uint32_t> actions;
    ASSERT_EQ(TESPCICONTROL_EventRegister(
                  card, [&](CardHandle, std::uint32_t action) { actions.push_back(action); }),
              kPciSuccess);
    session->driver().RaiseEvent(card, 0x2);
    EXPECT_EQ(actions, std::vector<std::uint32_t>{0x2});
}

// On the host's clock, as the station runs it: the flash layer's polls meet a chip
// that is busy for its configured time. The time-out on a hung chip is the layer's test.
TEST(SimulatedCardTimingTest, FlashLayerWaitsOutTheBusyChip) {
    auto session = testing::QuietSimulatedCard(
        {.spi_clock_hz = 10'000'000, .erase_busy_us = 3000, .program_busy_us = 400});
    ASSERT_NE(session, nullptr);
    const auto start = std::chrono::steady_clock::now();
    FlashWriteEnable();
    ASSERT_EQ(SpiWrite(0x08000000, 0xD8000000, 32, {}), 0);
    EXPECT_EQ(ReadFlagStatus()[0] & 0x80, 0);
    EXPECT_EQ(WaitFlashReady(kEraseReadyReads), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(3000));
    EXPECT_EQ(ReadFlagStatus()[0] & 0x80, 0x80);
}

TEST(SimulatedCardSessionTest, SessionPutsThePreviousDriverBack) {
    PciDriver* before = InstalledPciDriver();
    {
        auto session = testing::QuietSimulatedCard();
        ASSERT_NE(session, nullptr);
        EXPECT_EQ(InstalledPciDriver(), &session->driver());
    }
    EXPECT_EQ(InstalledPciDriver(), before);
    // The library was closed again: a new session opens the driver afresh.
    auto again = testing::QuietSimulatedCard();
    ASSERT_NE(again, nullptr);
    std::uint32_t value = 0;
    ReadCardRegister(again->handle(), 0, value);
    EXPECT_EQ(value, SimulatedCard::kIdWordValue);
}

}  // namespace
}  // namespace vantu
