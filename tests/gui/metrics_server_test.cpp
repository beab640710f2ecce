// The metrics endpoint's bounds over real loopback sockets, with short limits.
#include "gui/metrics_server.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "fake_ports.h"
#include "loopback.h"
#include "qt_test_app.h"

namespace vantu::testing {
namespace {

const std::string kGet = "GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n";

class MetricsServerTest : public ::testing::Test {
  protected:
    MetricsServerTest() {
        QtTestApp();
        EXPECT_TRUE(server.Listen({"127.0.0.1", 0}));
    }

    std::uint16_t port() const { return static_cast<std::uint16_t>(server.port()); }

    // The status line of the answer to bytes on a fresh connection from source.
    std::string StatusOf(const std::string& bytes, const char* source = nullptr) {
        LoopbackClient client(port(), 0, source);
        client.Send(bytes);
        std::string answer;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            answer += client.Read(65536, 0);
            return client.ended;
        }));
        return answer.substr(0, answer.find("\r\n"));
    }

    FakeClock clock;
    MetricsServer server{[] { return StationSnapshot{}; }, clock,
                         MetricsLimits{.max_connections = 2, .connection_ms = 300}};
};

TEST_F(MetricsServerTest, RefusesBodiesLargeHeadsAndLoopingClientsBeforeServing) {
    // Which heads are refused is the request reader's test; one refusal stands for them.
    const std::pair<std::string, std::string> cases[] = {
        {kGet, "HTTP/1.1 200 OK"},
        {"POST /metrics HTTP/1.1\r\nContent-Length: 209715200\r\n\r\n",
         "HTTP/1.1 413 Payload Too Large"},
        {"GET /control HTTP/1.1\r\n\r\n", "HTTP/1.1 404 Not Found"},
    };
    for (const auto& [request, status] : cases) {
        EXPECT_EQ(StatusOf(request), status) << request.substr(0, 30);
    }
    for (int i = 0; i < RequestRate::kBurst; ++i) {
        StatusOf(kGet, "127.0.0.2");
    }
    EXPECT_EQ(StatusOf(kGet, "127.0.0.2"), "HTTP/1.1 429 Too Many Requests");
    EXPECT_EQ(StatusOf(kGet), "HTTP/1.1 200 OK");
}

// Two connections are all there is: a third is closed at once, and a client that sends
// its request slowly holds its place only until its time is up.
TEST_F(MetricsServerTest, ConnectionsAreCappedAndTimedOut) {
    LoopbackClient first(port());
    LoopbackClient second(port());
    first.Send("GET /metrics HTTP/1.1\r\n");
    LoopbackClient third(port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !third.Read(1, 0).empty() || third.ended; }));
    EXPECT_TRUE(third.ended);
    EXPECT_EQ(first.Read(1, 0), "");
    EXPECT_FALSE(first.ended);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !first.Read(1, 0).empty() || first.ended; }));
    EXPECT_TRUE(first.ended);
    EXPECT_EQ(StatusOf(kGet), "HTTP/1.1 200 OK");
}

// The response is made off the GUI thread: a server that goes meanwhile waits for it and
// writes nothing to the connection it closed. A loaded machine may finish the response
// before the server goes; then the client has it whole.
TEST_F(MetricsServerTest, GoesCleanlyWithAScrapeInFlight) {
    bool taken = false;
    auto busy = std::make_unique<MetricsServer>(
        [&] {
            taken = true;
            return StationSnapshot{};
        },
        clock);
    ASSERT_TRUE(busy->Listen({"127.0.0.1", 0}));
    LoopbackClient client(static_cast<std::uint16_t>(busy->port()));
    client.Send(kGet);
    ASSERT_TRUE(QTest::qWaitFor([&] { return taken; }));
    busy.reset();
    QCoreApplication::processEvents();
    const std::string received = client.Read(65536);
    EXPECT_TRUE(received.empty() ||
                (received.starts_with("HTTP/1.1 200 OK") && received.ends_with("\n")))
        << received;
    EXPECT_TRUE(client.ended);
}

}  // namespace
}  // namespace vantu::testing
