// The generator group on the simulated generator: the range checks of the RF
// switch-on, what reaches the driver, and what the list shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instrument_station.h"

namespace vantu::testing {
namespace {

TEST(GeneratorControlTest, RfSwitchOnRanges) {
    struct Case {
        std::string frequency;
        std::string power;
        int result;
        bool rf_on;
        double frequency_hz;
        std::string listed;
    };
    const std::vector<Case> cases = {
        // 0 passes the page's check; the generator itself refuses it.
        {"0", "-10", 0, true, 1e9,
         "**  RF_FREQUENCY  Error : -1074135024  RF frequency out of range"},
        {"6", "-10", 0, true, 6e9, "RF Output : ON "},
        {"6.000001", "-10", 1, false, 1e9, "VSG 頻率設定 : 異常 (最大值 6 GHz)"},
        {"", "-10", 1, false, 1e9, "VSG 頻率設定 : 異常"},
        {"2", "", 1, false, 1e9, "VSG 功率設定 : 異常"},
        // Reported, still sent, and refused by the generator.
        {"2", "25", 0, true, 2e9, "VSG 功率設定 : 異常 (20dBm ~ -130 dBm)"},
        // No number at all, or none a double holds: refused, never sent.
        {"nan", "-10", 1, false, 1e9, "VSG 頻率設定 : 異常 (最大值 6 GHz)"},
        {"1e400", "-10", 1, false, 1e9, "VSG 頻率設定 : 異常 (最大值 6 GHz)"},
        {"2", "-inf", 1, false, 1e9, "VSG 功率設定 : 異常 (20dBm ~ -130 dBm)"},
        {"2", "nan", 1, false, 1e9, "VSG 功率設定 : 異常 (20dBm ~ -130 dBm)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequency + " GHz " + c.power + " dBm");
        InstrumentStation station;
        GeneratorControl& generator = station.page.generator();
        GeneratorGroup& boxes = station.page.state().generator;
        ASSERT_EQ(generator.OpenCloseGenerator(1), 0);
        boxes.frequency_text = c.frequency;
        boxes.power_text = c.power;
        EXPECT_EQ(generator.SwitchRfOutput(1), c.result);
        EXPECT_EQ(generator.rf_on(), c.rf_on);
        EXPECT_EQ(station.generator.Boolean(kAttrRfOutputEnabled), c.rf_on);
        EXPECT_EQ(station.shared.analyzer_flags[kSharedRfOn], c.rf_on);
        EXPECT_EQ(boxes.rf_caption, c.rf_on ? "停用" : "啟用");
        EXPECT_DOUBLE_EQ(station.generator.Real(kAttrRfFrequency), c.frequency_hz);
        EXPECT_TRUE(station.Listed(c.listed));
        if (c.power == "25") {
            EXPECT_TRUE(
                station.Listed("**  RF_POWER_LEVEL  Error : -1074135024  RF power level out of "
                               "range"));
        }
    }
}

TEST(GeneratorControlTest, OpenListsTheGeneratorAndReadBackShowsTheOutput) {
    InstrumentStation station;
    GeneratorControl& generator = station.page.generator();
    ASSERT_EQ(generator.OpenCloseGenerator(1), 0);
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines().size(), 7u);
    station.page.state().generator.frequency_text = "3";
    ASSERT_EQ(generator.SwitchRfOutput(1), 0);
    station.analyzer_page.tcp_messages.Clear();
    station.clock.sleeps.clear();
    generator.ReadGeneratorSettings();
    const auto& lines = station.analyzer_page.tcp_messages.lines();
    ASSERT_EQ(lines.size(), 18u);
    // Just switched on: not settled yet, and the wait lasts until it is.
    EXPECT_EQ(lines[1], "[VSG]- RF IsSettled : 0");
    EXPECT_EQ(lines[2], "[VSG]- RF Wait Settled : [1] ");
    EXPECT_EQ(station.clock.sleeps, std::vector<int>{SimulatedGenerator::kSettleMs + 1});
    EXPECT_EQ(lines[3], "[VSG]- Output Frequency : 3000000000.0  Hz");
    EXPECT_EQ(lines[15], "[VSG]- RF Output Enable : 1");
}

}  // namespace
}  // namespace vantu::testing
