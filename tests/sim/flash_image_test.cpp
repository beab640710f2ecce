#include "card/flash_image.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "quiet_card.h"
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

    void ExpectFlashHolds(const std::string& bytes, std::uint32_t address) {
        SimulatedNorFlash& flash = session->card().flash();
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            ASSERT_EQ(flash.ByteAt(static_cast<std::uint32_t>(address + i)),
                      static_cast<std::uint8_t>(bytes[i]))
                << "at 0x" << std::hex << address + i;
        }
    }

    testing::TempDir dir;
    std::unique_ptr<SimulatedCardSession> session;
    std::string marks;
};

TEST_F(FlashImageTest, SmallImageTakesOneEraseAndTwoPaddedPages) {
    const std::string image = Image(200, 1);
    ASSERT_EQ(Program(image, 0), 0);
    ExpectMarks("Erasing e\nOK\nProgramming \nChecking \n", 0);
    const SimulatedNorFlash& flash = session->card().flash();
    EXPECT_EQ(flash.counters().sector_erases, 1u);
    EXPECT_EQ(flash.counters().page_programs, 2u);
    ExpectFlashHolds(image, 0);
    ExpectFlashHolds(std::string(56, '\xFF'), 200);
    EXPECT_EQ(flash.AllocatedSectors(), 1u);
}

TEST_F(FlashImageTest, ImageOverSeveralSectorsCrossesTheExtendedAddressBoundary) {
    const std::uint32_t start = 0xFF0000;
    ASSERT_EQ(Program(Image(0x28000, 2), start), 0);
    // A second image over the first only verifies when the sectors were erased first.
    const std::string image = Image(0x28000, 3);
    ASSERT_EQ(Program(image, start), 0);
    ExpectMarks("Erasing eee\nOK\nProgramming ..\nChecking cc\n", 0);
    ExpectFlashHolds(image, start);
    EXPECT_EQ(session->card().flash().ExtendedAddress(), 1);
    EXPECT_EQ(session->card().flash().counters().sector_erases, 6u);
    EXPECT_EQ(session->card().flash().counters().page_programs, 2u * 0x28000 / 128);
}

TEST_F(FlashImageTest, VerifyCountsEveryDifferingByte) {
    std::string image = Image(0x10000, 4);
    ASSERT_EQ(Program(image, 0x20000), 0);
    session->card().flash().ProtectSector(2);
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
    EXPECT_EQ(session->card().flash().counters().sector_erases, 4u);
    ExpectFlashHolds(background.substr(0, 0xFFC0), 0);
    ExpectFlashHolds(image, 0xFFC0);
    ExpectFlashHolds(background.substr(0x10088), 0x10088);
}

TEST_F(FlashImageTest, MissingFileIsReportedWithoutTouchingTheFlash) {
    EXPECT_EQ(ProgramFlashImage(dir.File("absent.bin"), 0), -1);
    EXPECT_EQ(session->card().flash().counters().sector_erases, 0u);
}

}  // namespace
}  // namespace vantu
