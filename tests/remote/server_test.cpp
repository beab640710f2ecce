// The server core: open, close, accept, peer close, replies, the trim of the TCP
// message list, the cutting of the received byte stream into command lines and how
// received text is shown, with a dispatcher that answers every line with "OK:" and the line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "remote/received_text.h"
#include "remote/remote_access.h"
#include "remote/tcp_server.h"
#include "remote_fakes.h"

namespace vantu::testing {
namespace {

using Lines = std::vector<std::string>;

// A server core on a recording transport with its log, list and flags.
struct ServerRig : ServerParts {
    explicit ServerRig(ListenResult listen_result = ListenResult::kListening) {
        transport.listen_result = listen_result;
        dispatch.server = &server;
    }

    RecordingTransport transport;
    CCServer server{ServerContext{transport, logs, list, flags, elapsed}, dispatch};
};

class ServerTest : public ::testing::Test, public ServerRig {};

TEST_F(ServerTest, OpenReportsEachOutcome) {
    struct Case {
        ListenResult result;
        int status;
        const char* message;
    };
    for (const Case& c : {Case{ListenResult::kListening, 0, "[TCP] 伺服器 : 已開啟備便"},
                          Case{ListenResult::kListenFailed, 1, "[TCP] 伺服器 : 監控異常"}}) {
        SCOPED_TRACE(c.message);
        ServerRig station(c.result);
        EXPECT_EQ(station.server.OpenServer(), c.status);
        EXPECT_EQ(station.list.lines(), Lines{c.message});
        EXPECT_EQ(LogMessages(station.logs.log_path()), Lines{c.message});
        EXPECT_EQ(station.flags.server_open, c.status == 0);
        EXPECT_EQ(station.transport.calls, Lines{"Listen"});
    }
}

TEST_F(ServerTest, CloseOnlyWhenOpen) {
    server.CloseServer();
    EXPECT_TRUE(transport.calls.empty());
    EXPECT_TRUE(LogMessages(logs.log_path()).empty());

    ASSERT_EQ(server.OpenServer(), 0);
    server.OnConnectionRequested();
    transport.calls.clear();
    Timeline timeline(logs, list, transport);

    server.CloseServer();
    EXPECT_EQ(transport.calls, (Lines{"CloseClient", "CloseListener"}));
    EXPECT_EQ(timeline.Take(), Lines{"L [TCP] 伺服器通訊 : 已關閉"});
    EXPECT_FALSE(flags.server_open);

    server.CloseServer();
    EXPECT_EQ(transport.calls.size(), 2u);
}

TEST_F(ServerTest, ReplyIsAnsiTextAndOneCrInOneWrite) {
    server.OnConnectionRequested();
    list.Clear();

    EXPECT_EQ(server.SendReply("PL_DONE"), 0);
    EXPECT_EQ(server.SendReply("完成"), 0);
    EXPECT_EQ(server.SendReply(""), 1);

    ASSERT_EQ(transport.sent.size(), 2u);
    EXPECT_EQ(transport.sent[0].second, std::string("PL_DONE\r", 8));
    EXPECT_EQ(transport.sent[1].second, "\xA7\xB9\xA6\xA8\r");
    EXPECT_EQ(list.lines(), (Lines{"[TCP] 伺服端傳送 : PL_DONE", "[TCP] 伺服端傳送 : 完成"}));
}

TEST_F(ServerTest, ListIsEmptiedAtTheTrimThatFindsMoreThanThirtyLines) {
    for (int i = 0; i < 30; ++i) {
        server.SendReply("PS_DONE");
    }
    EXPECT_EQ(list.lines().size(), 30u);
    server.SendReply("PS_DONE");
    EXPECT_TRUE(list.lines().empty());

    // Lines added between trims stay until the next trim.
    for (int i = 0; i < 31; ++i) {
        server.List("x");
    }
    EXPECT_EQ(list.lines().size(), 31u);
    server.ProcessReceivedText("\r");
    EXPECT_TRUE(list.lines().empty());
}

std::string Repeat(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

struct FramingCase {
    const char* name;
    // What each socket notification delivers.
    Lines deliveries;
    // The replies each delivery produces.
    std::vector<Lines> replies;
};

TEST_F(ServerTest, CutsTheStreamIntoLines) {
    const std::string x1022(1022, 'X');
    Lines past_a_full_message(339, "OK:PS");
    past_a_full_message.insert(past_a_full_message.end(), {"OK:PB", "OK:GET_OPCODE_PARAM 1"});
    const std::vector<FramingCase> cases = {
        {"two commands in one chunk", {"PS\rPB\r"}, {{"OK:PS", "OK:PB"}}},
        {"command without CR, then a bare CR", {"PS", "\r"}, {{}, {"OK:PS"}}},
        {"CR LF, then a later chunk", {"PS\r\n", "PB\r"}, {{}, {"OK:PS", "OK:\nPB"}}},
        {"two CRs dispatch once", {"PS\r\r"}, {{"OK:PS"}}},
        {"empty lines are skipped", {"\r\rPS\r\r\rPB\r"}, {{"OK:PS", "OK:PB"}}},
        {"a chunk ending in LF is held", {"PS\n", "\r"}, {{}, {"OK:PS\n"}}},
        {"a lone CR runs nothing", {"\r"}, {{}}},
        {"longest line in one chunk", {x1022 + "\r"}, {{"OK:" + x1022}}},
        {"longest line, CR in the next chunk", {x1022, "\r"}, {{}, {"OK:" + x1022}}},
        {"one character too long", {x1022 + "Y", "\r"}, {{}, {"NOT_SUPPORT"}}},
        {"over-long line resynchronises at its CR",
         {std::string(1000, 'Y'), std::string(1000, 'Y'), "Y\rPS\r"},
         {{}, {}, {"NOT_SUPPORT", "OK:PS"}}},
        {"lines before an over-long line run first",
         {"PS\r" + std::string(1020, 'Y'), "YYYY\rPB\r"},
         {{}, {"OK:PS", "NOT_SUPPORT", "OK:PB"}}},
        {"a full chunk of commands", {Repeat("PS\r", 341)}, {Lines(341, "OK:PS")}},
        {"a line running past the full message is kept whole",
         {Repeat("PS\r", 339) + "PB\rGE", "T_OPCODE_PARAM 1\r"},
         {{}, past_a_full_message}},
        {"a delivery longer than a read is read in 1023-byte chunks",
         {std::string(1030, 'Y') + "\rPS\r"},
         {{"NOT_SUPPORT", "OK:PS"}}},
        {"pipelined commands across read boundaries", {Repeat("PS\r", 400)}, {Lines(400, "OK:PS")}},
    };
    for (const FramingCase& c : cases) {
        SCOPED_TRACE(c.name);
        server.OnConnectionRequested();
        transport.TakeReplies();
        ASSERT_EQ(c.deliveries.size(), c.replies.size());
        for (std::size_t i = 0; i < c.deliveries.size(); ++i) {
            server.OnDataReceived(c.deliveries[i]);
            EXPECT_EQ(transport.TakeReplies(), c.replies[i]) << "after delivery " << i;
        }
    }
}

TEST_F(ServerTest, ReceivedLinesAreListedAndLoggedBeforeTheyRun) {
    server.OnConnectionRequested();
    Timeline timeline(logs, list, transport);
    server.OnDataReceived("PS 50%d\x01\x7F\r\nPB\r");

    EXPECT_EQ(timeline.Take(), (Lines{
                                   "L [TCP] CALC Time Start : 0 us",
                                   "M [TCP] 伺服端接收 : PS 50%d<01><7F>",
                                   "L [TCP] 伺服端接收 : PS 50%d<01><7F>",
                                   "R OK:PS 50%d\x01\x7F\r",
                                   "M [TCP] 伺服端傳送 : OK:PS 50%d\x01\x7F",
                                   "M [TCP] 伺服端接收 : <0A>PB",
                                   "L [TCP] 伺服端接收 : <0A>PB",
                                   "R OK:\nPB\r",
                                   "M [TCP] 伺服端傳送 : OK:\nPB",
                               }));
}

TEST(ReceivedText, ControlCharactersBecomeVisibleAndTheRestStays) {
    std::string all_controls;
    std::string expected;
    for (int c = 0; c < 0x20; ++c) {
        all_controls += static_cast<char>(c);
        char hex[5];
        std::snprintf(hex, sizeof hex, "<%02X>", c);
        expected += hex;
    }
    EXPECT_EQ(ShowControlCharacters(all_controls + "\x7F"), expected + "<7F>");
    EXPECT_EQ(ShowControlCharacters("PL 100%d x.cfg ~!"), "PL 100%d x.cfg ~!");
    EXPECT_EQ(ShowControlCharacters("載入 é"), "載入 é");
    // Received bytes 0x7F..0xA0 as decoded: the C1 controls are escaped, the rest kept.
    EXPECT_EQ(ShowControlCharacters(DecodeReceivedLine("\x7F\x80\x9F\xA0\xC2")),
              "<7F><80><9F>\u00A0\u00C2");
    // Each received byte is the character of its code, NUL and 0xFF too.
    EXPECT_EQ(DecodeReceivedLine(std::string("P\x00\xFF", 3)), std::string("P\x00\xC3\xBF", 4));
}

TEST_F(ServerTest, OverlongLineIsAnsweredLikeAnUnknownCommand) {
    server.OnConnectionRequested();
    Timeline timeline(logs, list, transport);
    server.OnDataReceived(std::string(1023, 'P'));
    server.OnDataReceived(std::string(5000, 'P'));
    EXPECT_EQ(timeline.Take(), Lines{});

    server.OnDataReceived("\r");
    // The answer that follows is the unknown command's, the chassis commands' test.
    const Lines events = timeline.Take();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(Lines(events.begin(), events.begin() + 3),
              (Lines{"L [TCP] CALC Time Start : 0 us", "M [TCP] 伺服端接收 : 指令過長",
                     "L [TCP] 伺服端接收 : 指令過長"}));
}

TEST_F(ServerTest, NewClientTakesTheSlotAndStartsAFreshMessage) {
    server.OnConnectionRequested();
    server.OnDataReceived("PS\r");
    server.OnDataReceived("GET_OPC");
    Timeline timeline(logs, list, transport);

    server.OnConnectionRequested();
    EXPECT_EQ(transport.calls,
              (Lines{"CloseClient", "AcceptPending", "CloseClient", "AcceptPending"}));
    EXPECT_EQ(timeline.Take(), (Lines{"M [TCP] 伺服端 : 用戶端已請求連線 ...",
                                      "L [TCP] 伺服端 : 用戶端已請求連線 ...", kM97, kL26}));

    // The first client's half command does not run into the second client's.
    server.OnDataReceived("PB\r");
    EXPECT_EQ(transport.ReceivedBy(1), "OK:PS\r");
    EXPECT_EQ(transport.ReceivedBy(2), "OK:PB\r");
}

TEST(RemoteAccess, AllowListMatchesAddressesAndPrefixesOfBothFamilies) {
    struct Case {
        const char* allow;
        const char* client;
        bool allowed;
    };
    const Case cases[] = {
        {nullptr, "192.0.2.7", true},
        {"192.0.2.0/24", "192.0.2.7", true},
        {"192.0.2.0/24", "192.0.3.7", false},
        {"10.0.0.0/7, 192.0.2.7", "11.255.0.1", true},
        {"fe80::/10", "fe80::1", true},
        {"::1", "127.0.0.1", false},
        {"0.0.0.0/0", "::1", false},
        {"::/0", "::1", true},
        {"bogus, 10.0.0.1/33", "10.0.0.1", false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> errors;
        const std::string ini = c.allow ? std::string("[REMOTE]\nALLOW=") + c.allow + "\n" : "";
        const RemoteAccess access = ReadRemoteAccess(IniFile::Parse(ini), errors);
        EXPECT_EQ(IsAllowed(access, *ParseAddress(c.client)), c.allowed)
            << (c.allow ? c.allow : "-") << " " << c.client;
        EXPECT_EQ(AddressText(*ParseAddress(c.client)), c.client);
    }
}

}  // namespace
}  // namespace vantu::testing
