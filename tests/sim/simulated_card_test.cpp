#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "card/card_ops.h"
#include "card/device_library.h"
#include "card/flash_access.h"
#include "fake_ports.h"
#include "sim/simulated_card_session.h"

namespace vantu {
namespace {

constexpr std::int64_t kRunUs = 5000;

class SimulatedCardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::testing::internal::CaptureStdout();
        session = OpenSimulatedCard({.run_time_us = kRunUs, .clock = &clock});
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
    // Card open configured the SPI controller and read the flash's extended address.
    ReadCardRegister(card, 0x10, value);
    EXPECT_EQ(value & 0xFFFF, 0x0040u);
}

TEST_F(SimulatedCardTest, RunEndsByItselfAfterTheRunTimeOrOnStop) {
    EXPECT_FALSE(IsControlCodeBusy(card));
    WriteCardRegister(card, 0x8008, 7);
    EnableControlCode(card);
    EXPECT_EQ(session->card().SequencerParameter(), 0u);
    EXPECT_TRUE(IsControlCodeBusy(card));
    EXPECT_TRUE(session->card().IsControlCodeRunning());
    clock.micros += kRunUs - 1;
    EXPECT_TRUE(IsControlCodeBusy(card));
    clock.micros += 1;
    EXPECT_FALSE(IsControlCodeBusy(card));

    EnableControlCode(card);
    EXPECT_TRUE(IsControlCodeBusy(card));
    StopControlCode(card);
    EXPECT_FALSE(IsControlCodeBusy(card));
    EXPECT_FALSE(session->card().IsControlCodeRunning());
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

// Nothing in the station uses interrupts or events; one pass keeps the paths alive.
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
