#include "sim/firmware_monitor.h"

#include <gtest/gtest.h>

namespace vantu {
namespace {

TEST(FirmwareMonitorTest, ExchangesOnTheLine) {
    FirmwareMonitor monitor({});
    const std::string page(512, 'A');
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"\r", "\r\n>"},
        {"v\r", "v\r\nQDX-A FW V1.07\r\n>"},
        {"MW 20 12345678\r", "MW 20 12345678\r\nOK\r\n>"},
        {"MR 20\r", "MR 20\r\nMEM 00000020 DATA 0012345678\r\n>"},
        {"MD1 20 4\r", "MD1 20 4\r\n78563412\r\n>"},
        {"MF1 100\r", "MF1 100\r\n"},
        {page, "OK\r\n>"},
        {"MC 100 8\r", "MC 100 8\r\n0x55555554\r\n>"},
        {"FE 0\r", "FE 0\r\nERASED\r\n>"},
        {"FW 10 100 4\r", "FW 10 100 4\r\nOK\r\n>"},
        {"FL 10 200 4\r", "FL 10 200 4\r\nOK\r\n>"},
        {"MD1 200 4\r", "MD1 200 4\r\nAAAAAAAA\r\n>"},
        {"MD1 FFFF 4\r", "MD1 FFFF 4\r\nERR RANGE\r\n>"},
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
