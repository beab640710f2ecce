#include "sim/nor_flash.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "fake_ports.h"

namespace vantu {
namespace {

constexpr std::int64_t kEraseUs = 100;
constexpr std::int64_t kProgramUs = 10;

class NorFlashTest : public ::testing::Test {
  protected:
    void Command(std::vector<std::uint8_t> bytes, std::span<std::uint8_t> data = {}) {
        flash.Transfer(bytes, data);
    }
    std::vector<std::uint8_t> AddressCommand(std::uint8_t code, std::uint32_t address) {
        return {code, static_cast<std::uint8_t>(address >> 16),
                static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)};
    }
    void Program(std::uint32_t address, std::vector<std::uint8_t> data) {
        Command({kFlashWriteEnable});
        Command(AddressCommand(kFlashPageProgram, address), data);
        clock.micros += kProgramUs;
    }
    void Erase(std::uint32_t address) {
        Command({kFlashWriteEnable});
        Command(AddressCommand(kFlashSectorErase, address));
        clock.micros += kEraseUs;
    }
    std::uint8_t FlagStatus() {
        std::array<std::uint8_t, 2> status{};
        Command({kFlashReadFlagStatus}, status);
        return status[0];
    }

    testing::FakeClock clock;
    SimulatedNorFlash flash{clock, kEraseUs, kProgramUs};
};

TEST_F(NorFlashTest, ProgramAndEraseRules) {
    std::vector<std::uint8_t> zero = {0x00};
    Command(AddressCommand(kFlashPageProgram, 0x10), zero);
    EXPECT_EQ(flash.ByteAt(0x10), 0xFF);
    EXPECT_EQ(flash.counters().page_programs, 0u);

    Program(0x10, {0xF0, 0x3C});
    EXPECT_FALSE(flash.IsWriteEnabled());
    Program(0x10, {0x0F, 0xFF});
    EXPECT_EQ(flash.ByteAt(0x10), 0x00);
    EXPECT_EQ(flash.ByteAt(0x11), 0x3C);

    Erase(0x1234);
    EXPECT_EQ(flash.ByteAt(0x10), 0xFF);

    Program(0x10000, {0x00});
    flash.ProtectSector(1);
    Erase(0x10000);
    Program(0x10001, {0x00});
    EXPECT_EQ(flash.ByteAt(0x10000), 0x00);
    EXPECT_EQ(flash.ByteAt(0x10001), 0xFF);

    // Busy after an erase: everything but the flag status read is ignored.
    Command({kFlashWriteEnable});
    Command(AddressCommand(kFlashSectorErase, 0));
    EXPECT_EQ(FlagStatus(), 0);
    std::array<std::uint8_t, 4> read = {1, 2, 3, 4};
    Command(AddressCommand(kFlashRead, 0), read);
    EXPECT_EQ(read, (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
    Command({kFlashWriteEnable});
    EXPECT_FALSE(flash.IsWriteEnabled());
    clock.micros += kEraseUs - 1;
    EXPECT_EQ(FlagStatus(), 0);
    clock.micros += 1;
    EXPECT_EQ(FlagStatus(), kFlagStatusReady);
}

}  // namespace
}  // namespace vantu
