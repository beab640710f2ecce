// The SCPI backends against a small instrument served on loopback: the commands it
// receives, its error queue drained after each setting, and its silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "instrument_station.h"
#include "instruments/scpi_analyzer.h"
#include "instruments/scpi_generator.h"
#include "scripted_server.h"

namespace vantu::testing {
namespace {

using Lines = std::vector<std::string>;

ScpiEndpoint Loopback(const ScriptedServer& instrument) {
    return {"127.0.0.1", instrument.port(), {}};
}

TEST(ScpiBackendsTest, SocketResources) {
    // The host and port a resource names; empty when it is refused.
    const std::pair<const char*, const char*> cases[] = {
        {"TCPIP::192.168.1.20::5025::SOCKET", "192.168.1.20 5025"},
        {"tcpip0::sg1.lab::5025::socket", "sg1.lab 5025"},
        {"TCPIP::host::65535::SOCKET", "host 65535"},
        {"TCPIP::host::65536::SOCKET", ""},
        {"TCPIP::host::0::SOCKET", ""},
        {"TCPIP::host::50x::SOCKET", ""},
        {"TCPIP::host::5025::INSTR", ""},
        {"TCPIP::::5025::SOCKET", ""},
        {"PXI30::0::0::INSTR", ""},
    };
    for (const auto& [resource, named] : cases) {
        const auto endpoint = ParseSocketResource(resource);
        EXPECT_EQ(endpoint ? endpoint->host + " " + std::to_string(endpoint->port) : "", named)
            << resource;
    }
}

class ScpiGeneratorTest : public ::testing::Test {
  protected:
    ScpiGeneratorTest() {
        instrument.Answer("*IDN?", "Keysight,N5182B,MY123,B.01.86");
        instrument.Answer("*OPC?", "1");
    }

    ScriptedServer instrument;
    ScpiGenerator driver{Loopback(instrument)};
    InstrumentStation station{&driver};
    GeneratorControl& control = station.page.generator();
};

TEST_F(ScpiGeneratorTest, OpenAndRfOnSendTheSettingsEachFollowedByTheErrorQueue) {
    ASSERT_EQ(control.OpenCloseGenerator(1), 0);
    EXPECT_EQ(instrument.Take(), (Lines{"*IDN?", "*RST", "*OPC?", ":SYST:ERR?"}));
    EXPECT_TRUE(station.Listed("[VSG]- FIRMWARE_REVISION : B.01.86"));
    EXPECT_TRUE(station.Listed("[VSG]- SIMULATE : False"));

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
    ASSERT_EQ(control.OpenCloseGenerator(1), 0);
    instrument.Take();
    station.page.state().generator.power_text = "25";
    station.page.state().generator.pulse_selection = 0;
    EXPECT_EQ(control.SwitchRfOutput(1), 0);
    EXPECT_EQ(instrument.Take(), (Lines{":FREQ 1000000000", ":SYST:ERR?", ":POW 25.00",
                                        ":SYST:ERR?", ":SYST:ERR?", ":SYST:ERR?", ":PULM:STAT OFF",
                                        ":SYST:ERR?", ":OUTP ON", ":SYST:ERR?", "*OPC?"}));
    EXPECT_TRUE(
        station.Listed("**  RF_POWER_LEVEL  Error : -1074135039  :POW 25.00: Data out of range"));
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

TEST(ScpiAnalyzerTest, CommandsAnswersAndRefusals) {
    ScriptedServer instrument;
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
    instrument.Misbehave(":TRIG:PULS?", Misbehaviour::kSilent);
    EXPECT_EQ(link.GetTrigMeasValue(), kLinkNotOpen);
    EXPECT_EQ(link.GetInputTrigMod(), kTriggerExternal);
}

// Instruments that misbehave as real ones do, behind the remote commands: the replies
// to the command (after VSG_OPEN where asked), and a line it logged.
TEST(ScpiMisbehaviourTest, RepliesAndLogLines) {
    using M = Misbehaviour;
    struct Case {
        std::string line;
        M how;
        bool open_first;
        std::string command, replies, logged;
    };
    const std::vector<Case> cases = {
        {":CALC:MARK:COUN?", M::kSilent, false, "VSA_RD", "VSA_RD_FAIL",
         "[TCP] VSA 讀取量測值 : 異常"},
        {":CALC:MARK:COUN?", M::kGarbage, false, "VSA_SET_MRKALL_FREQ 1 GHz", "VSA_SET_MRKAll_FAIL",
         "[89600] 軟體 : 尚未開啟"},
        {":CALC:MARK:COUN?", M::kExtraLine, false, "VSA_RD",
         "VSA_RD 1GHz -12.250dBm -80.000dBm \rVSA_RD_DONE", "[TCP] VSA 讀取量測值 : 正常"},
        {":SYST:ERR?", M::kGarbage, false, "VSA_SET_FREQ_CENTER 1 GHz", "VSA_SET_FREQ_CENTER_FAIL",
         "[89600] 軟體 : Frequency 單位設定錯誤"},
        {":CALC:MARK2:X 1000000000.000000", M::kClose, false, "VSA_SET_MRK2_FREQ 1 GHz",
         "VSA_SET_MRK2_FAIL", "[89600] 軟體 : 尚未開啟"},
        {"*RST", M::kSlow, false, "VSG_OPEN", "VSG_OPEN_DONE", "[TCP] VSG 開啟 : 正常"},
        {"*IDN?", M::kSilent, false, "VSG_OPEN", "VSG_OPEN_FAIL", "[VSG]- 開啟異常"},
        {"*OPC?", M::kGarbage, false, "VSG_OPEN", "VSG_OPEN_FAIL", "[VSG]- 開啟異常"},
        {"*IDN?", M::kExtraLine, true, "VSG_RF_ON", "VSG_RFON_DONE", "[TCP] VSG 輻射開啟 : 正常"},
        {":OUTP ON", M::kClose, true, "VSG_RF_ON", "VSG_RFON_FAIL", "VSG Apply設定 : 異常"},
    };
    const std::string script =
        "*IDN? K,N5182B,1,B.01 *OPC? 1 :CALC:MARK:COUN? 2 :CALC:MARK1:Y? -12.25 :CALC:MARK2:Y? -80 "
        ":CALC:MARK1:Y:UNIT? dBm :CALC:MARK2:Y:UNIT? dBm :MMEM:LOG:NAME? vsa.log";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line + " " + c.command);
        ScriptedServer instrument;
        std::istringstream answers(script);
        for (std::string query, answer; answers >> query >> answer;) {
            instrument.Answer(query, answer);
        }
        instrument.Misbehave(c.line, c.how);
        ScpiGenerator generator(Loopback(instrument));
        ScpiAnalyzer link(Loopback(instrument));
        InstrumentStation station(&generator, &link);
        if (c.open_first) {
            station.Command("VSG_OPEN");
        }
        station.timeline.Take();
        const Lines replies = station.Command(c.command);
        EXPECT_EQ(replies.front() + (replies.size() > 1 ? "\r" + replies.back() : ""), c.replies);
        EXPECT_NE(std::ranges::count(station.timeline.Take(), "L " + c.logged), 0);
    }
}

TEST(ScpiAnalyzerTest, CommandsFromTheLabsTable) {
    TempDir dir;
    dir.Write("vsa.txt",
              "# lab\nSetFreqCenter = :SENS:FREQ:CENT {hz:0}\n GetTraceCount=:C?\n"
              "SetMarker_Type1 = MARK{trace}:X {hz:3} {x}\nNoSuchCall = :X\n");
    std::ostringstream console;
    ScriptedServer instrument;
    instrument.Answer(":C?", "+1.00000E+00");
    ScpiAnalyzer link(Loopback(instrument),
                      AnalyzerCommandTable::Load(dir.path() + "/vsa.txt", console));
    EXPECT_EQ(link.SetFreqCenter(2.5, "GHz"), kLinkDone);
    EXPECT_EQ(link.SetMarker_Type1(0, 0, 1, "MHz"), kLinkDone);
    EXPECT_EQ(link.GetTraceCount(), 1);
    EXPECT_EQ(link.SetMeasType(0), kLinkDone);
    EXPECT_EQ(instrument.Take(),
              (Lines{":SENS:FREQ:CENT 2500000000", ":SYST:ERR?", "MARK1:X 1000000.000 {x}",
                     ":SYST:ERR?", ":C?", ":CONF:TYPE 0", ":SYST:ERR?"}));
    EXPECT_EQ(console.str(),
              "vantu: analyzer commands " + dir.path() +
                  "/vsa.txt:5: not \"<call> = <text>\" with a known call; ignored\n");
}

TEST(ScpiAnalyzerTest, NothingListeningMeansSoftwareNotOpen) {
    std::uint16_t port = 0;
    {
        ScriptedServer gone;
        port = gone.port();
    }
    ScpiAnalyzer link(ScpiEndpoint{"127.0.0.1", port, {}});
    EXPECT_EQ(link.SetFreqCenter(1, "GHz"), kLinkNotOpen);
    EXPECT_EQ(link.GetInputTrigMod(), kLinkNotOpen);
    EXPECT_EQ(link.GetTraceCount(), kTraceCountFailed);
}

}  // namespace
}  // namespace vantu::testing
