#include "sim/firmware_monitor.h"

#include <gtest/gtest.h>

namespace vantu {
namespace {

TEST(FirmwareMonitorTest, ExchangesOnTheLine) {
    FirmwareMonitor monitor({});
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"\r", "\r\n>"},
        // Backspace and DEL take back what was typed, as on a terminal.
        {"VX\b\b\x7Fv\r", "VX\b \b\b \bv\r\nQDX-A FW V1.07\r\n>"},
        {"MR 1G\r", "MR 1G\r\nERR COMMAND\r\n>"},
        {"v\r", "v\r\nQDX-A FW V1.07\r\n>"},
        {"MF2 100 2 AAAAAAAA\r", "MF2 100 2 AAAAAAAA\r\nOK\r\n>"},
        {"FE 0\r", "FE 0\r\nERASED\r\n>"},
        {"FW 10 100 4\r", "FW 10 100 4\r\nOK\r\n>"},
        {"FL 10 200 4\r", "FL 10 200 4\r\nOK\r\n>"},
        {"MD1 200 4\r", "MD1 200 4\r\nAAAAAAAA\r\n>"},
        {"MD1 FFFF 4\r", "MD1 FFFF 4\r\nERR RANGE\r\n>"},
        // Address and length that wrap past the top stay outside memory and flash.
        {"MD1 FFFFFFFFFFFFFFF0 20\r", "MD1 FFFFFFFFFFFFFFF0 20\r\nERR RANGE\r\n>"},
        {"MF2 FFFFFFFFFFF00000 40000 1\r", "MF2 FFFFFFFFFFF00000 40000 1\r\nERR RANGE\r\n>"},
        {"MF2 0 4000000000000001 1\r", "MF2 0 4000000000000001 1\r\nERR RANGE\r\n>"},
        {"FW FFFFFFFFFFFFFF00 0 100\r", "FW FFFFFFFFFFFFFF00 0 100\r\nERR RANGE\r\n>"},
        {"MD1 10000 0\r", "MD1 10000 0\r\n\r\n>"},
        {"XYZ\r", "XYZ\r\nERR COMMAND\r\n>"},
        {"SA\r", "SA\r\n>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(monitor.Receive(c.in), c.out) << c.in;
    }
    const std::string dump = monitor.Receive("DA\r");
    EXPECT_EQ(dump.size(), 4 + 2 * kFirmwareVersionBytes + 7);
    EXPECT_TRUE(dump.ends_with("\r\nOK\r\n>"));
}

}  // namespace
}  // namespace vantu
