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
