#include "sim/firmware_monitor.h"

#include <gtest/gtest.h>

namespace vantu {
namespace {

TEST(FirmwareMonitorTest, RangesThatWrapPastTheTopAreRefused) {
    FirmwareMonitor monitor({});
    struct Case {
        std::string in;
        std::string out;
    };
    // Address and length that wrap past the top stay outside memory and flash.
    const std::vector<Case> cases = {
        {"MD1 FFFFFFFFFFFFFFF0 20\r", "MD1 FFFFFFFFFFFFFFF0 20\r\nERR RANGE\r\n>"},
        {"MF2 FFFFFFFFFFF00000 40000 1\r", "MF2 FFFFFFFFFFF00000 40000 1\r\nERR RANGE\r\n>"},
        {"MF2 0 4000000000000001 1\r", "MF2 0 4000000000000001 1\r\nERR RANGE\r\n>"},
        {"FW FFFFFFFFFFFFFF00 0 100\r", "FW FFFFFFFFFFFFFF00 0 100\r\nERR RANGE\r\n>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(monitor.Receive(c.in), c.out) << c.in;
    }
}

}  // namespace
}  // namespace vantu
