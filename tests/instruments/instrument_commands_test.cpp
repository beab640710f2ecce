// VSG_* and VSA_* through the dispatcher: replies, boxes and instrument state left
// behind, and the order of list, reply and log lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instrument_station.h"
#include "instruments/absent_instruments.h"

namespace vantu::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(InstrumentCommandsTest, GeneratorCommands) {
    InstrumentStation station;
    GeneratorGroup& boxes = station.page.state().generator;
    struct Case {
        std::string line;
        std::string reply;
        // The frequency and power boxes.
        std::string boxes;
        bool open;
    };
    const std::vector<Case> cases = {
        {"VSG_SET 5", "VSG_SET_DONE", " 5", false},
        {"VSG_SET 2.4  -20", "VSG_SET_DONE", "2.4 -20", false},
        {"VSG_SET", "VSG_SET_ FORMAT_FAIL", "2.4 -20", false},
        {"VSG_RF_ON", "VSG_RFON_FAIL", "2.4 -20", false},
        {"VSG_OPEN", "VSG_OPEN_DONE", "2.4 -20", true},
        {"VSG_OPEN", "VSG_OPEN_DONE", "2.4 -20", false},
        {"VSG_CLOSE", "VSG_CLOSE_FAIL", "2.4 -20", false},
        {"VSG_OPEN", "VSG_OPEN_DONE", "2.4 -20", true},
        {"VSG_RF_ON", "VSG_RFON_DONE", "2.4 -20", true},
        {"VSG_CLOSE", "VSG_CLOSE_DONE", "2.4 -20", false},
        // Closed with RF on, the open resets the generator, RF off included: RF_ON then
        // switches it on.
        {"VSG_OPEN", "VSG_OPEN_DONE", "2.4 -20", true},
        {"VSG_RF_ON", "VSG_RFON_DONE", "2.4 -20", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(station.Command(c.line), Lines{c.reply});
        EXPECT_EQ(boxes.frequency_text + " " + boxes.power_text, c.boxes);
        EXPECT_EQ(station.generator.is_open(), c.open);
        EXPECT_EQ(boxes.open_caption, c.open ? "關閉" : "開啟");
    }
    EXPECT_TRUE(station.generator.Boolean(kAttrRfOutputEnabled));
}

TEST(InstrumentCommandsTest, GeneratorWithoutBackendSaysSo) {
    AbsentGenerator absent;
    InstrumentStation station(&absent);
    GeneratorControl& control = station.page.generator();
    EXPECT_EQ(control.OpenCloseGenerator(1), 1);
    EXPECT_FALSE(control.is_open());
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines().rbegin()[1], "[VSG]- 開啟異常");
    EXPECT_EQ(station.console.str(),
              "** InitWithOptions() Error: -1073807343, no signal generator configured "
              "(setup.ini [VSG] RESOURCE)\n");
}

TEST(InstrumentCommandsTest, AnalyzerCommands) {
    InstrumentStation station;
    station.WriteSetup("beam.setx", "traces 3\ncenter 2.5e9\n");
    station.WriteSetup("setx", "traces 1\n");
    struct Case {
        std::string line;
        Lines replies;
        int traces_after;
    };
    const std::vector<Case> cases = {
        {"VSA_RECALL beam.SETX", {"RECALL_FORMAT_FAIL"}, 2},
        {"VSA_RECALL missing.setx", {"FILE_NOT_EXIST"}, 2},
        {"VSA_RECALL ../Log/x.setx", {"FILE_NOT_EXIST"}, 2},
        {"VSA_RECALL setx", {"VSA_RECALL_DONE"}, 1},
        {"VSA_RECALL beam.setx", {"VSA_RECALL_DONE"}, 3},
        {"VSA_SEND *RST", {}, 3},
        {"VSA_SAVE_TO_LOG 0", {"VSA_SAVE_TO_LOG_DISABLE"}, 3},
        {"VSA_SAVE_TO_LOG 1", {"VSA_SAVE_TO_LOG_ENABLE"}, 3},
        {"VSA_SAVE_TO_LOG 2", {"[TCP] VSA_SAVE_TO_LOG_FAIL"}, 3},
        {"VSA_SAVE_TO_LOG", {"VSA_SAVE_TO_LOG_FAIL"}, 3},
        {"VSA_SET_MRK2_FREQ 2.4 GHz", {"VSA_SET_MRK2_DON"}, 3},
        {"VSA_SET_MRK3_FREQ 2.4 ghz", {"VSA_SET_MRK3_FAIL"}, 3},
        {"VSA_SET_MRK4_FREQ GHz", {"VSA_SET_MRK4_DON"}, 3},
        {"VSA_SET_FREQ_CENTER 2400 MHz", {"VSA_SET_FREQ_CENTER_DONE"}, 3},
        // Values no instrument can take never reach it.
        {"VSA_SET_FREQ_CENTER nan GHz", {"VSA_SET_FREQ_CENTER_FAIL"}, 3},
        {"VSA_SET_FREQ_CENTER 1e300 GHz", {"VSA_SET_FREQ_CENTER_FAIL"}, 3},
        {"VSA_SET_MRK4_FREQ -inf Hz", {"VSA_SET_MRK4_FAIL"}, 3},
        {"VSA_SET_MRKALL_FREQ 1e400 Hz", {"VSA_SET_MRKAll_FAIL"}, 3},
        {"VSA_SET_SPAN 1 GHz", {"VSA_SET_SPAN_FAIL"}, 3},
        {"VSA_SET_SPAN 20 MHz", {"VSA_SET_SPAN_DONE"}, 3},
        {"VSA_SET_SPAN inf MHz", {"VSA_SET_SPAN_FAIL"}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(station.Command(c.line), c.replies);
        EXPECT_EQ(station.analyzer.GetTraceCount(), c.traces_after);
    }
    EXPECT_DOUBLE_EQ(station.analyzer.view().center_hz, 2.4e9);
    EXPECT_DOUBLE_EQ(station.analyzer.view().span_hz, 20e6);
    // Marker 4 got the unit as its only word and 0 Hz.
    EXPECT_DOUBLE_EQ(station.analyzer.view().marker_hz[3], 0.0);
    EXPECT_TRUE(station.page.state().analyzer.save_log);
}

TEST(InstrumentCommandsTest, RecallNamesTheFileAsTheAnalyzerSeesIt) {
    TempDir lab;
    lab.Write("beam.setx", "traces 5\n");
    InstrumentStation station(nullptr, nullptr, lab.path());
    station.WriteSetup("beam.setx", "traces 1\n");
    EXPECT_EQ(station.Command("VSA_RECALL beam.setx"), Lines{"VSA_RECALL_DONE"});
    EXPECT_EQ(station.analyzer.GetTraceCount(), 5);
}

TEST(InstrumentCommandsTest, MeasurementLineWithNoneAndSevenTraces) {
    InstrumentStation station;
    station.page.state().generator.frequency_text = "6";
    for (const int traces : {0, 7}) {
        SCOPED_TRACE(traces);
        station.analyzer.set_trace_count(traces);
        EXPECT_EQ(station.Command("VSA_SET_MRKALL_FREQ 2.4 GHz"), Lines{"VSA_SET_MRKAll_DON"});
        std::string line = "VSA_RD 6GHz ";
        for (int trace = 0; trace < traces; ++trace) {
            line += "-20.000dBm ";
        }
        EXPECT_EQ(station.Command("VSA_RD"), (Lines{line, "VSA_RD_DONE"}));
    }
    const AnalyzerGroup& boxes = station.page.state().analyzer;
    EXPECT_EQ(boxes.marker_values[3], "-20.000");
    EXPECT_EQ(boxes.marker_colours[3], kMarkerValueColour);
    EXPECT_EQ(boxes.marker_values[4], "");
}

TEST(InstrumentCommandsTest, OrderOfListReplyAndLogLines) {
    InstrumentStation station;
    const std::string kM97 = "M " + std::string(kListSeparator);
    auto take = [&station](const std::string& line) {
        station.Command(line);
        Lines events = station.timeline.Take();
        // The CALC time line and the received line come first for every command.
        events.erase(events.begin(), events.begin() + 3);
        return events;
    };
    EXPECT_EQ(
        take("VSA_RD"),
        (Lines{"M [TCP] VSA 讀取量測值 : 完成", "R VSA_RD 1GHz -20.000dBm -20.000dBm \r",
               "M [TCP] 伺服端傳送 : VSA_RD 1GHz -20.000dBm -20.000dBm ", "R VSA_RD_DONE\r",
               "M [TCP] 伺服端傳送 : VSA_RD_DONE", "L [TCP] VSA 讀取量測值 : 正常", kM97, kL26}));
    EXPECT_EQ(take("VSG_RF_OFF"), (Lines{"M [TCP] VSG 輻射關閉 : 異常", "R VSG_RFOFF_FAIL\r",
                                         "M [TCP] 伺服端傳送 : VSG_RFOFF_FAIL",
                                         "L [TCP] VSG 輻射關閉 : 異常", kM97, kL26}));
    EXPECT_EQ(station.main_page.messages.lines(), Lines{"[TCP] VSG 輻射關閉 : 異常"});
    EXPECT_EQ(take("VSA_SAVE_TO_LOG"),
              (Lines{"M [TCP] VSA 儲存量測值設定 : 格式錯誤", "R VSA_SAVE_TO_LOG_FAIL\r",
                     "M [TCP] 伺服端傳送 : VSA_SAVE_TO_LOG_FAIL",
                     "L [TCP] VSA 儲存量測值設定 : 格式錯誤"}));
    EXPECT_EQ(take("VSA_SET_SPAN 3 GHz"),
              (Lines{"M [89600 VSA] 軟體 : SPan 單位設定錯誤", kM97,
                     "L [89600 VSA] 軟體 : SPan 單位設定錯誤", kL26, "M [TCP] VSA Set Span : 異常",
                     "R VSA_SET_SPAN_FAIL\r", "M [TCP] 伺服端傳送 : VSA_SET_SPAN_FAIL",
                     "L [TCP] VSA Set Span : 異常", kM97, kL26}));
    EXPECT_EQ(
        take("VSA_RECALL a<\x01>.SETX"),
        (Lines{"L VSA Recall Setup : a<<01>>.SETX", "R RECALL_FORMAT_FAIL\r",
               "M [TCP] 伺服端傳送 : RECALL_FORMAT_FAIL", "M [TCP] VSA Recall Setup : 格式錯誤",
               "L [TCP] VSA Recall Setup : 格式錯誤", kM97, kL26}));
}

}  // namespace
}  // namespace vantu::testing
