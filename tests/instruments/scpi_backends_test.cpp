// The SCPI backends against a small instrument served on loopback: the commands it
// receives, its error queue drained after each setting, and its silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "instrument_station.h"
#include "instruments/scpi_analyzer.h"
#include "instruments/scpi_generator.h"
#include "scpi_instrument.h"

namespace vantu::testing {
namespace {

using Lines = std::vector<std::string>;

ScpiEndpoint Loopback(const ScpiInstrument& instrument) {
    return *ParseSocketResource(instrument.resource());
}

TEST(ScpiBackendsTest, SocketResources) {
    struct Case {
        std::string resource;
        bool valid;
        std::string host;
        int port;
    };
    const std::vector<Case> cases = {
        {"TCPIP::192.168.1.20::5025::SOCKET", true, "192.168.1.20", 5025},
        {"tcpip0::sg1.lab::5025::socket", true, "sg1.lab", 5025},
        {"TCPIP::host::65535::SOCKET", true, "host", 65535},
        {"TCPIP::host::65536::SOCKET", false, "", 0},
        {"TCPIP::host::0::SOCKET", false, "", 0},
        {"TCPIP::host::50x::SOCKET", false, "", 0},
        {"TCPIP::host::5025::INSTR", false, "", 0},
        {"TCPIP::::5025::SOCKET", false, "", 0},
        {"PXI30::0::0::INSTR", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resource);
        const auto endpoint = ParseSocketResource(c.resource);
        ASSERT_EQ(endpoint.has_value(), c.valid);
        if (endpoint) {
            EXPECT_EQ(endpoint->host, c.host);
            EXPECT_EQ(endpoint->port, c.port);
        }
    }
}

class ScpiGeneratorTest : public ::testing::Test {
  protected:
    ScpiGeneratorTest() {
        instrument.Answer("*IDN?", "Keysight,N5182B,MY123,B.01.86");
        instrument.Answer("*OPC?", "1");
    }

    GeneratorControl Control() {
        return GeneratorControl(GeneratorContext{driver, station.page.state().generator, messages,
                                                 station.shared, station.console});
    }

    bool Listed(const std::string& line) {
        const Lines& lines = station.analyzer_page.tcp_messages.lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    ScpiInstrument instrument;
    ScpiGenerator driver{Loopback(instrument)};
    InstrumentStation station;
    PageMessages messages{station.analyzer_page.tcp_messages, station.logs};
};

TEST_F(ScpiGeneratorTest, OpenAndRfOnSendTheSettingsEachFollowedByTheErrorQueue) {
    GeneratorControl control = Control();
    ASSERT_EQ(control.OpenCloseGenerator(1), 0);
    EXPECT_EQ(instrument.Take(), (Lines{"*IDN?", "*RST", ":SYST:ERR?"}));
    EXPECT_TRUE(Listed("[VSG]- FIRMWARE_REVISION : B.01.86"));
    EXPECT_TRUE(Listed("[VSG]- SIMULATE : False"));

    station.page.state().generator.frequency_text = "2.4";
    station.page.state().generator.pulse_selection = 2;
    ASSERT_EQ(control.SwitchRfOutput(1), 0);
    EXPECT_EQ(instrument.Take(),
              (Lines{":FREQ 2400000000", ":SYST:ERR?", ":POW -10.00", ":SYST:ERR?",
                     ":PULM:SOUR EXT", ":SYST:ERR?", ":PULM:EXT:POL INV", ":SYST:ERR?",
                     ":PULM:STAT ON", ":SYST:ERR?", ":OUTP ON", ":SYST:ERR?", "*OPC?"}));
    station.page.state().generator.pulse_selection = 0;
    ASSERT_EQ(control.SwitchRfOutput(1), 0);
    ASSERT_EQ(control.SwitchRfOutput(1), 0);
    EXPECT_EQ(instrument.Take(), (Lines{":OUTP OFF", ":SYST:ERR?", "*OPC?", ":FREQ 2400000000",
                                        ":SYST:ERR?", ":POW -10.00", ":SYST:ERR?", ":PULM:STAT OFF",
                                        ":SYST:ERR?", ":OUTP ON", ":SYST:ERR?", "*OPC?"}));
}

TEST_F(ScpiGeneratorTest, ErrorQueueIsDrainedAndReported) {
    instrument.FailAfter(":POW 25.00",
                         {"-222,\"Data out of range\"", "-221,\"Settings conflict\""});
    GeneratorControl control = Control();
    ASSERT_EQ(control.OpenCloseGenerator(1), 0);
    instrument.Take();
    station.page.state().generator.power_text = "25";
    station.page.state().generator.pulse_selection = 0;
    EXPECT_EQ(control.SwitchRfOutput(1), 0);
    EXPECT_EQ(instrument.Take(), (Lines{":FREQ 1000000000", ":SYST:ERR?", ":POW 25.00",
                                        ":SYST:ERR?", ":SYST:ERR?", ":SYST:ERR?", ":PULM:STAT OFF",
                                        ":SYST:ERR?", ":OUTP ON", ":SYST:ERR?", "*OPC?"}));
    EXPECT_TRUE(Listed("**  RF_POWER_LEVEL  Error : -1074135039  :POW 25.00: Data out of range"));
    // Both entries wait in the driver's queue for the next open's error listing.
    std::int32_t code = 0;
    std::string message;
    driver.ErrorQuery(1, code, message);
    EXPECT_EQ(code, -222);
    driver.ErrorQuery(1, code, message);
    EXPECT_EQ(message, "Settings conflict");
    driver.ErrorQuery(1, code, message);
    EXPECT_EQ(code, 0);
}

TEST_F(ScpiGeneratorTest, SilentGeneratorFailsTheOpen) {
    instrument.SilenceOn("*IDN?");
    GeneratorControl control = Control();
    EXPECT_EQ(control.OpenCloseGenerator(1), 1);
    EXPECT_FALSE(control.is_open());
    EXPECT_EQ(station.page.state().generator.open_caption, "開啟");
    EXPECT_TRUE(Listed("**  InitWithOptions  Error : -1073807339  generator at 127.0.0.1:" +
                       std::to_string(instrument.port()) + " did not answer *IDN? within 2 s"));
    EXPECT_TRUE(Listed("[VSG]- 開啟異常"));
}

TEST(ScpiAnalyzerTest, CommandsAnswersAndRefusals) {
    ScpiInstrument instrument;
    instrument.Answer(":CALC:MARK:COUN?", "2");
    instrument.Answer(":CALC:MARK1:Y?", "-12.25");
    instrument.Answer(":CALC:MARK1:Y:UNIT?", "dBm");
    instrument.Answer(":CALC:MARK2:Y?", "-80");
    instrument.Answer(":CALC:MARK2:Y:UNIT?", "dBmVeryLongLabelIndeed");
    instrument.Answer(":TRIG:SOUR?", "EXT");
    instrument.FailAfter(":FREQ:CENT 1000.000000", {"-222,\"Data out of range\""});
    ScpiAnalyzer link(Loopback(instrument));

    EXPECT_EQ(link.SetMarker_Type1(1, 0, 2.4, "GHz"), kLinkDone);
    EXPECT_EQ(link.SetMarker_Type1(0, 0, 2.4, "ghz"), kLinkUnitRefused);
    EXPECT_EQ(link.SetFreqSPan(1, "GHz"), kLinkUnitRefused);
    EXPECT_EQ(link.SetFreqCenter(1, "KHz"), kLinkUnitRefused);
    EXPECT_EQ(link.SetRecall("/st/Recall Setup/a\".setx"), kLinkUnitRefused);
    EXPECT_EQ(link.GetInputTrigMod(), kTriggerExternal);
    MarkerArray markers{};
    EXPECT_EQ(link.GetMeasValue(markers), kLinkDone);
    EXPECT_DOUBLE_EQ(markers[0].value, -12.25);
    EXPECT_EQ(markers[0].label, "dBm");
    EXPECT_EQ(markers[1].label, "dBmVeryLongLabe");
    link.SetTrigMeas(1);
    EXPECT_EQ(instrument.Take(),
              (Lines{":CALC:MARK2:X 2400000000.000000", ":SYST:ERR?", ":FREQ:CENT 1000.000000",
                     ":SYST:ERR?", ":SYST:ERR?", ":TRIG:SOUR?", ":CALC:MARK:COUN?",
                     ":CALC:MARK1:Y?", ":CALC:MARK1:Y:UNIT?", ":CALC:MARK2:Y?",
                     ":CALC:MARK2:Y:UNIT?", ":INIT:CONT ON", ":SYST:ERR?"}));

    // A silent analyzer counts as not open, and the next call links again.
    instrument.SilenceOn(":TRIG:PULS?");
    EXPECT_EQ(link.GetTrigMeasValue(), kLinkNotOpen);
    EXPECT_EQ(link.GetInputTrigMod(), kTriggerExternal);
}

TEST(ScpiAnalyzerTest, NothingListeningMeansSoftwareNotOpen) {
    std::uint16_t port = 0;
    {
        ScpiInstrument gone;
        port = gone.port();
    }
    ScpiAnalyzer link(ScpiEndpoint{"127.0.0.1", port, {}});
    EXPECT_EQ(link.SetFreqCenter(1, "GHz"), kLinkNotOpen);
    EXPECT_EQ(link.GetInputTrigMod(), kLinkNotOpen);
    EXPECT_EQ(link.GetTraceCount(), 0);
}

}  // namespace
}  // namespace vantu::testing
