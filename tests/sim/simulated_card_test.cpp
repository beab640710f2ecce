#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "card/card_ops.h"
#include "card/device_library.h"
#include "card/flash_access.h"
#include "fake_ports.h"
#include "sim/simulated_card_session.h"

namespace vantu {
namespace {

constexpr std::int64_t kWordNs = 1'500'000;
// 1 MHz: a byte keeps the SPI busy for 8 us.
constexpr std::int64_t kSpiHz = 1'000'000;

class SimulatedCardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::testing::internal::CaptureStdout();
        session = OpenSimulatedCard({.word_time_ns = kWordNs,
                                     .spi_clock_hz = kSpiHz,
                                     .erase_busy_us = 2000,
                                     .program_busy_us = 300,
                                     .clock = &clock});
        ::testing::internal::GetCapturedStdout();
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
    AddrSpaceInfo info;
    ASSERT_TRUE(TESPCICONTROL_GetAddrSpaceInfo(card, info));
    EXPECT_STREQ(info.description, "0x00000000F7E00000 - 0x00000000F7E0FFFF (0x10000 bytes)");
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

TEST_F(SimulatedCardTest, ReportWordsAreSharedWithTheChassisModel) {
    SimulatedCard& sim = session->card();
    std::vector<std::uint32_t> reads;
    sim.SetReportReadHook([&](std::uint32_t offset) {
        reads.push_back(offset);
        sim.SetReportWord(256 + (offset - 0x8C00) / 4, offset);
    });
    std::vector<std::uint32_t> report(3584);
    ReadReportBlock(card, report.data(), 1);
    ASSERT_EQ(reads.size(), 256u);
    EXPECT_EQ(reads.front(), 0x8C00u);
    EXPECT_EQ(reads.back(), 0x8FFCu);
    EXPECT_EQ(report[256], 0x8C00u);
    EXPECT_EQ(report[511], 0x8FFCu);

    sim.SetReportReadHook(nullptr);
    ClearReportBlock(card, 1);
    EXPECT_EQ(sim.ReportWord(300), 0u);
    sim.SetReportWord(3583, 0xCAFE);
    ReadReportBlock(card, report.data(), 13);
    EXPECT_EQ(report[3583], 0xCAFEu);
    sim.SetReportWord(3584, 1);  // outside the report memory: dropped
    EXPECT_EQ(sim.ReportWord(3584), 0u);
}

TEST_F(SimulatedCardTest, ReportMemoryIsMappedOnlyWhileNoReadHookIsInstalled) {
    SimulatedPciDriver& driver = session->driver();
    const MappedWindow window = driver.MappedBar(card, 0);
    ASSERT_NE(window.base, nullptr);
    EXPECT_EQ(window.begin, 0x8800u);
    EXPECT_EQ(window.end, 0xC000u);
    EXPECT_EQ(driver.MappedBar(card, 1).base, nullptr);
    EXPECT_EQ(driver.MappedBar(nullptr, 0).base, nullptr);

    SimulatedCard& sim = session->card();
    for (std::uint32_t i = 0; i < 3584; ++i) {
        sim.SetReportWord(i, 0x70000000u + i * 0x10001u);
    }
    WriteCardRegister(card, 0x8800, 0xABCD1234);
    std::vector<std::uint32_t> loaded(3584);
    for (std::uint32_t block = 0; block < 14; ++block) {
        ReadReportBlock(card, loaded.data(), block);
    }
    std::vector<std::uint32_t> hooked_reads;
    sim.SetReportReadHook([&](std::uint32_t offset) { hooked_reads.push_back(offset); });
    EXPECT_EQ(driver.MappedBar(card, 0).base, nullptr);
    std::vector<std::uint32_t> single(3584);
    for (std::uint32_t block = 0; block < 14; ++block) {
        ReadReportBlock(card, single.data(), block);
    }
    EXPECT_EQ(loaded, single);
    EXPECT_EQ(loaded[0], 0xABCD1234u);
    EXPECT_EQ(loaded[3583], 0x70000000u + 3583 * 0x10001u);
    ASSERT_EQ(hooked_reads.size(), 3584u);
    EXPECT_EQ(hooked_reads.back(), 0xBFFCu);

    sim.SetReportReadHook(nullptr);
    EXPECT_EQ(driver.MappedBar(card, 0).base, window.base);
}

TEST_F(SimulatedCardTest, ControlCodeMemoryKeepsWhatTheLoaderWrites) {
    WriteCardRegister(card, 0xC000, 0x11);
    WriteCardRegister(card, 0xDFFC, 0x22);
    EXPECT_EQ(session->card().ControlCodeWord(0), 0x11u);
    EXPECT_EQ(session->card().ControlCodeWord(2047), 0x22u);
    ClearControlCodeMemory(card);
    EXPECT_EQ(session->card().ControlCodeWord(2047), 0u);
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

TEST_F(SimulatedCardTest, InterruptPathsRunOnTheSimulatedCard) {
    std::vector<InterruptResult> results;
    ASSERT_EQ(TESPCICONTROL_IntEnable(
                  card, [&](CardHandle, const InterruptResult& r) { results.push_back(r); }),
              kPciSuccess);
    session->driver().RaiseInterrupt(card, 0x55);
    session->driver().RaiseInterrupt(card, 0x66);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[1].counter, 2u);
    EXPECT_EQ(results[1].enabled_type, SimulatedPciDriver::kInterruptType);
    EXPECT_EQ(results[1].last_message, 0x66u);
    EXPECT_EQ(TESPCICONTROL_IntDisable(card), kPciSuccess);
    session->driver().RaiseInterrupt(card, 0x77);
    EXPECT_EQ(results.size(), 2u);

    std::vector<std::uint32_t> actions;
    ASSERT_EQ(TESPCICONTROL_EventRegister(
                  card, [&](CardHandle, std::uint32_t action) { actions.push_back(action); }),
              kPciSuccess);
    session->driver().RaiseEvent(card, 0x2);
    EXPECT_EQ(actions, std::vector<std::uint32_t>{0x2});
}

// On the host's clock, as the station runs it: the flash layer's polls meet a chip
// that is busy for its configured time, and a hung chip gives the layer's time-out.
TEST(SimulatedCardTimingTest, FlashLayerWaitsOutBusyChipAndTimesOutOnHungOne) {
    ::testing::internal::CaptureStdout();
    auto session = OpenSimulatedCard(
        {.spi_clock_hz = 10'000'000, .erase_busy_us = 3000, .program_busy_us = 400});
    ::testing::internal::GetCapturedStdout();
    ASSERT_NE(session, nullptr);
    const auto start = std::chrono::steady_clock::now();
    FlashWriteEnable();
    ASSERT_EQ(SpiWrite(0x08000000, 0xD8000000, 32, {}), 0);
    EXPECT_EQ(ReadFlagStatus()[0] & 0x80, 0);
    EXPECT_EQ(WaitFlashReady(kEraseReadyReads), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(3000));
    EXPECT_EQ(ReadFlagStatus()[0] & 0x80, 0x80);

    const std::vector<std::uint8_t> page(128, 0x5A);
    session->card().flash().SetStuckBusy(true);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ProgramPage(page, 0x100), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "WR TO ");
    EXPECT_EQ(session->card().flash().ByteAt(0x100), 0xFF);
}

TEST(SimulatedCardSessionTest, SessionPutsThePreviousDriverBack) {
    PciDriver* before = InstalledPciDriver();
    {
        ::testing::internal::CaptureStdout();
        auto session = OpenSimulatedCard();
        ::testing::internal::GetCapturedStdout();
        ASSERT_NE(session, nullptr);
        EXPECT_EQ(InstalledPciDriver(), &session->driver());
    }
    EXPECT_EQ(InstalledPciDriver(), before);
    // The library was closed again: a new session opens the driver afresh.
    ::testing::internal::CaptureStdout();
    auto again = OpenSimulatedCard();
    ::testing::internal::GetCapturedStdout();
    ASSERT_NE(again, nullptr);
    std::uint32_t value = 0;
    ReadCardRegister(again->handle(), 0, value);
    EXPECT_EQ(value, SimulatedCard::kIdWordValue);
}

}  // namespace
}  // namespace vantu
