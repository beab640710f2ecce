// The server core's own events: open, close, accept, peer close, replies and the trim
// of the TCP message list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remote/tcp_server.h"
#include "remote_fakes.h"
#include "temp_dir.h"

namespace vantu::testing {
namespace {

class SilentDispatch : public CommandDispatch {
  public:
    void DispatchCommand(const std::string&) override {}
    void DispatchOverlongLine() override {}
};

class ServerTest : public ::testing::Test {
  protected:
    ServerTest() {
        dir.MakeDir("Log");
        logs.OpenLog();
    }

    TempDir dir;
    FakeClock clock;
    LogFiles logs{dir.path(), clock};
    MessageList list;
    ControllerFlags flags;
    ClockElapsed elapsed{clock};
    RecordingTransport transport;
    SilentDispatch dispatch;
    CCServer server{ServerContext{transport, logs, list, flags, elapsed}, dispatch};
};

TEST_F(ServerTest, OpenReportsEachOutcome) {
    struct Case {
        ListenResult result;
        int status;
        const char* message;
    };
    for (const Case& c : {Case{ListenResult::kListening, 0, "[TCP] 伺服器 : 已開啟備便"},
                          Case{ListenResult::kSocketLayerFailed, 1, "[TCP] 伺服器 : 初始化異常"},
                          Case{ListenResult::kCreateFailed, 1, "[TCP] 伺服器 : 開啟異常"},
                          Case{ListenResult::kListenFailed, 1, "[TCP] 伺服器 : 監控異常"}}) {
        SCOPED_TRACE(c.message);
        TempDir station;
        station.MakeDir("Log");
        LogFiles station_logs(station.path(), clock);
        station_logs.OpenLog();
        MessageList station_list;
        ControllerFlags station_flags;
        RecordingTransport station_transport;
        station_transport.listen_result = c.result;
        CCServer station_server(
            ServerContext{station_transport, station_logs, station_list, station_flags, elapsed},
            dispatch);

        EXPECT_EQ(station_server.OpenServer(), c.status);
        EXPECT_EQ(station_list.lines(), std::vector<std::string>{c.message});
        EXPECT_EQ(LogMessages(station_logs), std::vector<std::string>{c.message});
        EXPECT_EQ(station_flags.server_open, c.status == 0);
        EXPECT_EQ(station_transport.calls, std::vector<std::string>{"Listen"});
    }
}

TEST_F(ServerTest, CloseOnlyWhenOpen) {
    server.CloseServer();
    EXPECT_TRUE(transport.calls.empty());
    EXPECT_TRUE(LogMessages(logs).empty());

    ASSERT_EQ(server.OpenServer(), 0);
    server.OnConnectionRequested();
    transport.calls.clear();
    const std::size_t log_lines = LogMessages(logs).size();

    server.CloseServer();
    EXPECT_EQ(transport.calls, (std::vector<std::string>{"CloseClient", "CloseListener"}));
    const std::vector<std::string> log = LogMessages(logs);
    EXPECT_EQ(std::vector<std::string>(log.begin() + static_cast<long>(log_lines), log.end()),
              std::vector<std::string>{"[TCP] 伺服器通訊 : 已關閉"});
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
    EXPECT_EQ(list.lines(),
              (std::vector<std::string>{"[TCP] 伺服端傳送 : PL_DONE", "[TCP] 伺服端傳送 : 完成"}));
    // Replies are listed, not logged.
    EXPECT_EQ(LogMessages(logs).size(), 2u);
}

TEST_F(ServerTest, PeerCloseIsReportedAndLaterRepliesAreLost) {
    server.OnConnectionRequested();
    server.OnPeerClosed();
    EXPECT_EQ(list.lines().back(), "[TCP] 用戶端連線 : 已關閉");
    EXPECT_EQ(LogMessages(logs).back(), "[TCP] 用戶端連線 : 已關閉");

    transport.client = 0;
    EXPECT_EQ(server.SendReply("PS_DONE"), 0);
    EXPECT_TRUE(transport.sent.empty());
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

}  // namespace
}  // namespace vantu::testing
