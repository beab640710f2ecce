// The chassis commands on the simulated card: replies, the order of list, reply and
// log lines, the card left behind, flags and timers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "card/bar0_map.h"
#include "pattern_station.h"
#include "remote/remote_control.h"
#include "remote_fakes.h"

namespace vantu::testing {
namespace {

using Lines = std::vector<std::string>;

// The pattern test station wired to remote control as the main controller wires it,
// with one client connected.
struct RemoteStation : PatternStation {
    explicit RemoteStation(bool with_card = true) : PatternStation(with_card) {
        remote.transport_events().OnConnectionRequested();
    }
    // Sends the line and its CR as the client in the slot; the replies, without CRs.
    Lines Command(const std::string& line) {
        remote.transport_events().OnDataReceived(line + "\r");
        return transport.TakeReplies();
    }

    RecordingTransport transport;
    QueuePoster poster;
    BusyGate gate{poster};
    ClockElapsed elapsed{clock};
    RemoteControl remote{RemoteContext{transport, gate, elapsed, logs, flags, timers, clock, card,
                                       settings, loader, table, run, main_page, analyzer_page}};
};

Lines Reply(const std::string& token) {
    return {"R " + token + "\r", "M [TCP] 伺服端傳送 : " + token};
}

Lines ListAndLog(const std::string& text) {
    return {"M " + text, "L " + text};
}

// A command's events: the time mark, its receipt, then the groups in turn.
Lines Events(const std::string& line, std::initializer_list<Lines> groups) {
    Lines all = {"L [TCP] CALC Time Start : 0 us", "M [TCP] 伺服端接收 : " + line,
                 "L [TCP] 伺服端接收 : " + line};
    for (const Lines& group : groups) {
        all.insert(all.end(), group.begin(), group.end());
    }
    return all;
}

const Lines kSeparators = {kM97, kL26};

class ChassisCommandsTest : public ::testing::Test {
  protected:
    ChassisCommandsTest() {
        // Three words: parameter 1 at 0xC000, a command word, parameter 2 at 0xC008.
        station.WritePattern("beam.cfg", kControlCodeMemory, {0x11111111, 0x22222222, 0x33333333});
    }

    bool Running() { return station.sim->card().IsControlCodeRunning(); }

    RemoteStation station;
    Timeline timeline{station.logs, station.analyzer_page.tcp_messages, station.transport};
};

// The timers resume with what they had left, at most the 1 s and 1.5 s restarts; one
// frame holds every command, so a command and an over-long line stand for them all.
TEST_F(ChassisCommandsTest, EveryCommandStopsTheReportTimersAndRestartsThem) {
    station.timers.Start(0, 200);
    station.timers.Start(1, 5500);
    const std::vector<std::string> resumed = {"kill 0", "kill 1", "start 0 200", "start 1 1500"};
    bool stopped_during_command = true;
    timeline.on_event = [&](const std::string& event) {
        if (event.starts_with("R ")) {
            stopped_during_command &= !station.timers.IsRunning(0) && !station.timers.IsRunning(1);
        }
    };
    const std::string overlong(1100, 'P');
    for (const std::string& line : {std::string("PS"), overlong}) {
        station.timers.TakeJournal();
        station.Command(line);
        EXPECT_EQ(station.timers.TakeJournal(), resumed) << line.substr(0, 20);
    }
    EXPECT_TRUE(stopped_during_command);
}

// Commands that answer once, in turn on one station: the state each leaves (running or
// not, busy state last answered) is what the next one finds.
TEST_F(ChassisCommandsTest, SingleReplyCommands) {
    // How the list (M), reply (R) and log (L) lines of a command follow its receipt.
    enum Shape { kSilent, kAnswered, kNotSupported, kFormat, kTimedFormat };
    struct Case {
        std::string line;
        std::string reply;
        Shape shape;
        std::string text;
    };
    const std::string missing = "[TCP] PXIe/QDX 全型機箱控制執行碼檔案 : 不存在";
    const std::string unsupported = "[TCP] 指令格式 : 不支援";
    const Case cases[] = {
        {"PB", "", kSilent, ""},
        {"PG", "PG_FORMAT_FAIL", kAnswered, "[TCP] 執行 PXIe/QDX 全型機箱控制指令 : 格式錯誤"},
        {"PG ", "PG_DONE", kAnswered, "[TCP] PXIe/QDX 全型機箱控制執行碼 : 已啟用"},
        {"PB", "SP_BUSY", kAnswered, "[TCP] PXIe/QDX 全型機箱控制 : 忙碌中"},
        // Names that are not a file of the pattern directory leave the code running; which
        // names those are is the pattern directory's test.
        {"PL nothere.cfg", "FILE_NOT_EXIST", kAnswered, missing},
        {"PL beam.cfg ", "FILE_NOT_EXIST", kAnswered, missing},
        {"PB", "", kSilent, ""},
        {"PS now please", "PS_DONE", kAnswered, "[TCP] PXIe/QDX 全型機箱控制 : 已停用"},
        {"PB", "SP_IDLE", kAnswered, "[TCP] PXIe/QDX 全型機箱控制 : 閒置中"},
        {"PL", "PL_FORMAT_FAIL", kTimedFormat, "[TCP] 載入PXIe/QDX 全型機箱控制執行碼 : 格式錯誤"},
        {"SET_OPCODE_PARAM", "SET_OPCODE_PARAM_FAIL", kFormat,
         "[TCP] 設定PXIe/QDX 全型機箱控制執行碼參數 : 格式錯誤"},
        {"GET_OPCODE_PARAM", "GET_OPCODE_PARAM_FAIL", kFormat,
         "[TCP] 讀取PXIe/QDX 全型機箱控制執行碼參數 : 格式錯誤"},
        {"pl beam.cfg", "NOT_SUPPORT", kNotSupported, unsupported},
        {"PLX beam.cfg", "NOT_SUPPORT", kNotSupported, unsupported},
        {" PS", "NOT_SUPPORT", kNotSupported, unsupported},
    };
    for (const Case& c : cases) {
        Lines events;
        const Lines reply = c.reply.empty() ? Lines{} : Reply(c.reply);
        switch (c.shape) {
            case kSilent:
                events = Events(c.line, {kSeparators});
                break;
            case kAnswered:
                events = Events(c.line, {reply, ListAndLog(c.text), kSeparators});
                break;
            case kNotSupported:
                events = Events(c.line, {{"M " + c.text}, reply, {kM97, "L " + c.text, kL26}});
                break;
            case kFormat:
            case kTimedFormat:
                events = Events(c.line, {{"M " + c.text}, reply, {"L " + c.text}, kSeparators});
                if (c.shape == kTimedFormat) {
                    events.push_back("L [TCP] CALC Time End : 0.000 us");
                }
                break;
        }
        // A fresh list each time, so the trim past thirty lines stays out of the way.
        station.analyzer_page.tcp_messages.Clear();
        timeline.Take();
        EXPECT_EQ(station.Command(c.line), c.reply.empty() ? Lines{} : Lines{c.reply}) << c.line;
        EXPECT_EQ(timeline.Take(), events) << c.line;
    }
    EXPECT_TRUE(station.clock.sleeps.empty());
    // Parameters need a loaded pattern.
    EXPECT_EQ(station.Command("GET_OPCODE_PARAM 1"), Lines{"GET_OPCODE_PARAM_FAIL"});
    EXPECT_EQ(station.Command("SET_OPCODE_PARAM 1 1"), Lines{"SET_OPCODE_PARAM_FAIL"});
}

TEST_F(ChassisCommandsTest, PlStopsRunningCodeClearsTheMemoryAndLoadsTheLastWord) {
    station.WritePattern("old.cfg", kControlCodeMemory, std::vector<std::uint32_t>(8, 0xAAAAAAAA));
    station.Command("PL old.cfg");
    station.Command("PG 0");
    station.main_page.running = true;
    station.clock.sleeps.clear();
    timeline.Take();
    bool load_stop_while_stopping = false;
    timeline.on_event = [&](const std::string& event) {
        if (event == "M [TCP] PXIe/QDX 全型機箱控制執行碼 : 已停用") {
            load_stop_while_stopping = station.flags.load_stop;
        }
    };

    EXPECT_EQ(station.Command("PL some words beam.cfg"), Lines{"PL_DONE"});
    EXPECT_EQ(timeline.Take(), Events("PL some words beam.cfg",
                                      {ListAndLog("[TCP] PXIe/QDX 全型機箱執行碼控制 : 忙碌中"),
                                       ListAndLog("[TCP] PXIe/QDX 全型機箱控制執行碼 : 已停用"),
                                       ListAndLog("[TCP] PXIe/QDX 全型機箱控制執行碼 : 已重置"),
                                       ListAndLog("[TCP] PXIe/QDX 全型機箱載入執行碼 : beam.cfg"),
                                       {"L QDX 全型機箱控制執行碼已載入完成 !              "},
                                       Reply("PL_DONE"),
                                       ListAndLog("[TCP] PXIe/QDX 全型機箱載入執行碼 : 完成"),
                                       kSeparators,
                                       {"L [TCP] CALC Time End : 200000.000 us"}}));
    EXPECT_TRUE(load_stop_while_stopping);
    EXPECT_FALSE(station.flags.load_stop);
    EXPECT_EQ(station.clock.sleeps, (std::vector<int>{100, 100}));
    EXPECT_FALSE(Running());
    EXPECT_FALSE(station.main_page.running);
    EXPECT_EQ(station.analyzer_page.chassis.control_code_name, "beam.cfg");
    // The old code is gone beyond the new one.
    EXPECT_EQ(station.CardWord(0xC008), 0x33333333u);
    EXPECT_EQ(station.CardWord(0xC00C), 0u);
}

TEST_F(ChassisCommandsTest, PlOfARefusedFileFailsAndLeavesTheRunningCodeAlone) {
    station.Command("PL beam.cfg");
    station.Command("PG 0");
    station.dir.Write("SP Pattern/short.cfg", "\x00\xC0");
    station.clock.sleeps.clear();
    timeline.Take();

    EXPECT_EQ(station.Command("PL short.cfg"), Lines{"PL_FAIL"});
    EXPECT_EQ(timeline.Take(),
              Events("PL short.cfg", {{"L 無法讀取 [ short.cfg ] 資料錯誤 !"},
                                      {"L 無法讀取 [ short.cfg ] 原因 : 檔案不足 8 位元組的檔頭"},
                                      ListAndLog("[TCP] PXIe/QDX 全型機箱載入執行碼 : short.cfg"),
                                      Reply("PL_FAIL"),
                                      ListAndLog("[TCP] PXIe/QDX 全型機箱載入執行碼 : 異常"),
                                      kSeparators,
                                      {"L [TCP] CALC Time End : 0.000 us"}}));
    // What else a refused file leaves alone is the run control's test.
    EXPECT_TRUE(Running());
    EXPECT_TRUE(station.clock.sleeps.empty());
}

TEST_F(ChassisCommandsTest, GetReadsTheParameterOfTheIndexInTwoReplies) {
    station.Command("PL beam.cfg");
    bool access_flag_while_replying = true;
    timeline.on_event = [&](const std::string& event) {
        if (event.starts_with("R ")) {
            access_flag_while_replying &= station.flags.opcode_access;
        }
    };
    timeline.Take();

    // The replies are the timeline's R lines.
    station.Command("GET_OPCODE_PARAM 1");
    EXPECT_EQ(timeline.Take(),
              Events("GET_OPCODE_PARAM 1", {{"M [TCP] 讀取 OP CODE 位置 : 0x1",
                                             "L [TCP] 讀取 OP CODE 位置 : Index[0x1]-[0xC000]"},
                                            ListAndLog("[TCP] 讀取 OP CODE 資料 : 0xC000 11111111"),
                                            Reply("OPCODE_PARAM  C000 11111111"),
                                            {"L [TCP] CALC Time End : 0.000 us"},
                                            Reply("GET_OPCODE_PARAM_DONE"),
                                            kSeparators}));
    EXPECT_TRUE(access_flag_while_replying);
    EXPECT_FALSE(station.flags.opcode_access);

    // The last word is the index; hexadecimal with or without 0x.
    EXPECT_EQ(station.Command("GET_OPCODE_PARAM 1 0x2"),
              (Lines{"OPCODE_PARAM  C008 33333333", "GET_OPCODE_PARAM_DONE"}));
}

TEST_F(ChassisCommandsTest, SetWritesTheValueToTheParameterAddress) {
    station.Command("PL beam.cfg");
    timeline.Take();

    EXPECT_EQ(station.Command("SET_OPCODE_PARAM 2 0x1F"), Lines{"SET_OPCODE_PARAM_DONE"});
    EXPECT_EQ(station.CardWord(0xC008), 0x0000001Fu);
    EXPECT_EQ(timeline.Take(), Events("SET_OPCODE_PARAM 2 0x1F",
                                      {ListAndLog("[TCP] 設定 OP CODE 參數 : 0x0x1F"),
                                       {"M [TCP] 設定 OP CODE 位置 : 0x2",
                                        "L [TCP] 設定 OP CODE 位置 : Index[0x2]-[0xC008]"},
                                       Reply("SET_OPCODE_PARAM_DONE"),
                                       {"L [TCP] CALC Time End : 0.000 us"},
                                       ListAndLog("[TCP] 設定 OP CODE 狀態 : 正常"),
                                       kSeparators}));
    EXPECT_FALSE(station.flags.opcode_access);

    // Only the first and the last word count; leading zeros are no extra bits.
    EXPECT_EQ(station.Command("SET_OPCODE_PARAM 1 7 0x0000ABCDEF01"),
              Lines{"SET_OPCODE_PARAM_DONE"});
    EXPECT_EQ(station.CardWord(0xC000), 0xABCDEF01u);
    EXPECT_EQ(station.CardWord(0xC004), 0x22222222u);
}

TEST_F(ChassisCommandsTest, IndexOutsideTheLoadedEntriesFailsWithoutTouchingTheCard) {
    station.Command("PL beam.cfg");
    const std::vector<std::uint32_t> loaded = station.ControlCode();
    timeline.Take();

    EXPECT_EQ(station.Command("GET_OPCODE_PARAM 3"), Lines{"GET_OPCODE_PARAM_FAIL"});
    EXPECT_EQ(timeline.Take(),
              Events("GET_OPCODE_PARAM 3", {ListAndLog("[TCP] 讀取 OP CODE 位置 : 0x3"),
                                            ListAndLog("[TCP] 讀取 OP CODE 資料 : 異常"),
                                            {"L [TCP] CALC Time End : 0.000 us"},
                                            Reply("GET_OPCODE_PARAM_FAIL"),
                                            kSeparators}));
    EXPECT_EQ(station.Command("SET_OPCODE_PARAM 0 5"), Lines{"SET_OPCODE_PARAM_FAIL"});
    EXPECT_EQ(timeline.Take(),
              Events("SET_OPCODE_PARAM 0 5", {ListAndLog("[TCP] 設定 OP CODE 參數 : 0x5"),
                                              ListAndLog("[TCP] 設定 OP CODE 位置 : 0x0"),
                                              Reply("SET_OPCODE_PARAM_FAIL"),
                                              {"L [TCP] CALC Time End : 0.000 us"},
                                              ListAndLog("[TCP] 設定 OP CODE 狀態 : 異常"),
                                              kSeparators}));
    for (const std::string index : {"0", "3", "x", "401", "100000001", "0x100000001"}) {
        EXPECT_EQ(station.Command("GET_OPCODE_PARAM " + index), Lines{"GET_OPCODE_PARAM_FAIL"});
        EXPECT_EQ(station.Command("SET_OPCODE_PARAM " + index + " 5"),
                  Lines{"SET_OPCODE_PARAM_FAIL"});
    }
    // Wider than 32 bits, a trailing blank, a sign, no digits, a lone index.
    for (const char* line :
         {"SET_OPCODE_PARAM 1 123456789", "SET_OPCODE_PARAM 1 0x100000000", "SET_OPCODE_PARAM 1 ",
          "SET_OPCODE_PARAM 1 -1", "SET_OPCODE_PARAM 1 zz", "SET_OPCODE_PARAM 1"}) {
        EXPECT_EQ(station.Command(line), Lines{"SET_OPCODE_PARAM_FAIL"}) << line;
    }
    EXPECT_EQ(station.ControlCode(), loaded);
}

TEST_F(ChassisCommandsTest, EchoedClientTextShowsItsControlCharacters) {
    station.Command("PL beam.cfg");
    timeline.Take();
    // The index "1<TAB>" converts to 1 and the value "2<LF>,forged" to 2.
    EXPECT_EQ(station.Command("SET_OPCODE_PARAM 1\t 2\n,forged"), Lines{"SET_OPCODE_PARAM_DONE"});
    EXPECT_EQ(station.CardWord(0xC000), 2u);
    const Lines events = timeline.Take();
    for (const char* line :
         {"L [TCP] 伺服端接收 : SET_OPCODE_PARAM 1<09> 2<0A>,forged",
          "L [TCP] 設定 OP CODE 參數 : 0x2<0A>,forged", "M [TCP] 設定 OP CODE 位置 : 0x1<09>",
          "L [TCP] 設定 OP CODE 位置 : Index[0x1<09>]-[0xC000]"}) {
        EXPECT_NE(std::find(events.begin(), events.end(), line), events.end()) << line;
    }
}

// The one frame of every command answers first; PS stands for them all.
TEST(ChassisWithoutCard, EveryCommandIsFirstAnsweredCardNotExist) {
    RemoteStation station(false);
    Timeline timeline{station.logs, station.analyzer_page.tcp_messages, station.transport};
    EXPECT_EQ(station.Command("PS"), (Lines{"PXIE_CARD_NOT_EXIST", "PS_DONE"}));
    EXPECT_EQ(timeline.Take(), Events("PS", {Reply("PXIE_CARD_NOT_EXIST"),
                                             {"L PXIe/QDX 全型機箱控制卡 : 不存在"},
                                             Reply("PS_DONE"),
                                             ListAndLog("[TCP] PXIe/QDX 全型機箱控制 : 已停用"),
                                             kSeparators}));
}

}  // namespace
}  // namespace vantu::testing
