#include <gtest/gtest.h>

#include <set>
#include <string>

#include "card/pci_status_table.h"
#include "card/spi_flash.h"

namespace vantu {
namespace {

TEST(CardTablesTest, StatusTableHasOneTextPerCode) {
    std::set<PciStatus> codes;
    for (const PciStatusEntry& entry : kPciStatusTable) {
        EXPECT_TRUE(codes.insert(entry.status).second) << std::hex << entry.status;
        EXPECT_FALSE(std::string(entry.text).empty());
        EXPECT_EQ(PciStatusText(entry.status), entry.text);
    }
    EXPECT_EQ(PciStatusText(0x12345678), "Unknown status 0x12345678");
}

TEST(CardTablesTest, FlashCommandsAndGeometryAreConsistent) {
    std::set<std::uint8_t> codes;
    for (const FlashCommand& command : kFlashCommands) {
        SCOPED_TRACE(command.name);
        EXPECT_TRUE(codes.insert(command.code).second);
        EXPECT_GE(command.command_bytes, 1);
        EXPECT_LE(command.command_bytes, 4);
        // Commands that change the array carry a 3-byte address and need write enable.
        if (command.code == kFlashSectorErase || command.code == kFlashPageProgram) {
            EXPECT_EQ(command.command_bytes, 4);
            EXPECT_TRUE(command.needs_write_enable);
        }
        if (command.data == FlashDataPhase::kToFlash) {
            EXPECT_TRUE(command.needs_write_enable);
        }
    }
    const auto power_of_two = [](std::uint32_t n) { return n != 0 && (n & (n - 1)) == 0; };
    EXPECT_TRUE(power_of_two(kCardFlash.size_bytes));
    EXPECT_TRUE(power_of_two(kCardFlash.sector_bytes));
    EXPECT_TRUE(power_of_two(kCardFlash.page_bytes));
    EXPECT_EQ(kCardFlash.size_bytes % kCardFlash.sector_bytes, 0u);
    // The extended address register byte covers everything above the 24 command bits.
    EXPECT_LE(kCardFlash.size_bytes >> kCardFlash.low_address_bits, 256u);
}

}  // namespace
}  // namespace vantu
