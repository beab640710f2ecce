#include "card/flash_image.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "fake_ports.h"
#include "quiet_card.h"
#include "sim/nor_flash.h"
#include "temp_dir.h"

namespace vantu {
namespace {

std::string Image(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

class FlashImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session = testing::QuietSimulatedCard();
        ASSERT_NE(session, nullptr);
    }

    // Programs the bytes as an image file; the layer's console output in `marks`.
    int Program(const std::string& bytes, std::uint32_t address) {
        dir.Write("pxiectrl_top.bin", bytes);
        ::testing::internal::CaptureStderr();
        const int result = ProgramFlashImage(dir.File("pxiectrl_top.bin"), address);
        marks = ::testing::internal::GetCapturedStderr();
        return result;
    }

    // The marks up to the totals, then the totals with their times left open.
    void ExpectMarks(const std::string& progress, int total_errors) {
        const std::string totals = "Total Error = " + std::to_string(total_errors) + "\n";
        ASSERT_EQ(marks.substr(0, progress.size() + totals.size()), progress + totals);
        EXPECT_TRUE(std::regex_match(marks.substr(progress.size() + totals.size()),
                                     std::regex("Erase Time = [0-9]+\\.[0-9]{2} Sec\n"
                                                "Program Time = [0-9]+\\.[0-9]{2} Sec\n")))
            << marks;
    }

    SimulatedNorFlash& flash() { return session->card().flash(); }

    void ExpectFlashHolds(const std::string& bytes, std::uint32_t address) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            ASSERT_EQ(flash().ByteAt(static_cast<std::uint32_t>(address + i)),
                      static_cast<std::uint8_t>(bytes[i]))
                << "at 0x" << std::hex << address + i;
        }
    }

    testing::TempDir dir;
    std::unique_ptr<SimulatedCardSession> session;
    std::string marks;
};

TEST_F(FlashImageTest, ImageOverSeveralSectorsCrossesTheExtendedAddressBoundary) {
    const std::uint32_t start = 0xFF0000;
    ASSERT_EQ(Program(Image(0x28000, 2), start), 0);
    // A second image over the first only verifies when the sectors were erased first.
    const std::string image = Image(0x28000, 3);
    ASSERT_EQ(Program(image, start), 0);
    ExpectMarks("Erasing eee\nOK\nProgramming ..\nChecking cc\n", 0);
    ExpectFlashHolds(image, start);
    EXPECT_EQ(std::tuple(flash().ExtendedAddress(), flash().counters().sector_erases,
                         flash().counters().page_programs),
              std::tuple(1, 6u, 2u * 0x28000 / 128));
}

TEST_F(FlashImageTest, VerifyCountsEveryDifferingByte) {
    std::string image = Image(0x10000, 4);
    ASSERT_EQ(Program(image, 0x20000), 0);
    flash().ProtectSector(2);
    image[0] ^= 0x01;
    image[0x8000] ^= 0x80;
    image[0xFFFF] ^= 0xFF;
    EXPECT_EQ(Program(image, 0x20000), 1);
    ExpectMarks("Erasing e\nOK\nProgramming .\nChecking x\n", 3);
}

TEST_F(FlashImageTest, ImageOffTheSectorGridErasesEverySectorItTouchesAndKeepsTheRest) {
    const std::string background = Image(0x20000, 6);
    ASSERT_EQ(Program(background, 0), 0);
    const std::string image = Image(200, 7);
    ASSERT_EQ(Program(image, 0xFFC0), 0);
    ExpectMarks("Erasing ee\nOK\nProgramming \nChecking \n", 0);
    EXPECT_EQ(std::tuple(flash().counters().sector_erases, flash().AllocatedSectors()),
              std::tuple(4u, 2u));
    ExpectFlashHolds(background.substr(0, 0xFFC0), 0);
    ExpectFlashHolds(image, 0xFFC0);
    ExpectFlashHolds(background.substr(0x10088), 0x10088);
}

TEST_F(FlashImageTest, MissingFileIsReportedWithoutTouchingTheFlash) {
    EXPECT_EQ(ProgramFlashImage(dir.File("absent.bin"), 0), -1);
    EXPECT_EQ(flash().counters().sector_erases, 0u);
}

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
