// The Qt socket layer under the server core, over real loopback sockets: exact bytes,
// low-delay client sockets, a displaced client closed, half-closed and closing peers.
#include "gui/qt_tcp_transport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/ini_file.h"
#include "loopback.h"
#include "qt_test_app.h"
#include "remote/remote_access.h"
#include "remote/tcp_server.h"
#include "remote_fakes.h"
#include "temp_dir.h"

namespace vantu::testing {
namespace {

std::uint16_t Port(int fd, bool peer) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    const int status = peer ? ::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &size)
                            : ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return status == 0 ? ntohs(address.sin_port) : 0;
}

// A client socket and what it received so far.
struct Peer {
    explicit Peer(std::uint16_t port, int receive_buffer = 0) : socket(port, receive_buffer) {}
    LoopbackClient socket;
    std::string received;
};

class QtTcpTransportTest : public ::testing::Test, public ServerParts {
  protected:
    QtTcpTransportTest() { QtTestApp(); }

    // Opens the server on a free port; a port taken meanwhile is given up for another.
    void Open(const RemoteAccess& access = {}) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            port = FreeLoopbackPort();
            server.reset();
            transport = std::make_unique<QtTcpTransport>(port);
            transport->set_access(access);
            server = std::make_unique<CCServer>(
                ServerContext{*transport, logs, list, flags, elapsed}, dispatch);
            dispatch.server = server.get();
            // Two replies to each command, to see that they leave together.
            dispatch.after_reply = [this](const std::string&) { server->SendReply("END"); };
            transport->set_events(server.get());
            if (server->OpenServer() == 0) {
                return;
            }
        }
        FAIL() << "no free port";
    }

    // Runs the event loop until the condition holds (every peer read) or the time is up.
    bool RunUntil(const std::function<bool()>& done, std::vector<Peer*> peers = {},
                  std::chrono::seconds limit = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            for (Peer* peer : peers) {
                peer->received += peer->socket.Read(4096, 0);
            }
            if (done()) {
                return true;
            }
        }
        return false;
    }

    bool Listed(const std::string& line) {
        return std::ranges::find(list.lines(), line) != list.lines().end();
    }

    std::uint16_t port = 0;
    std::unique_ptr<QtTcpTransport> transport;
    std::unique_ptr<CCServer> server;
};

TEST_F(QtTcpTransportTest, RepliesArriveAsExactBytesOnALowDelaySocket) {
    Open();
    Peer client(port);
    client.socket.Send("PS\rP");
    client.socket.Send("B\r");
    // A command's replies leave together when it ends: none has arrived half-way.
    dispatch.after_reply = [&](const std::string& line) {
        client.received += client.socket.Read(4096, 0);
        EXPECT_FALSE(client.received.ends_with("OK:" + line + "\r"));
        server->SendReply("END");
    };
    const std::string expected = "OK:PS\rEND\rOK:PB\rEND\r";
    ASSERT_TRUE(RunUntil([&] { return client.received.size() >= expected.size(); }, {&client}));
    EXPECT_EQ(client.received, expected);

    // The station's end of this connection has TCP_NODELAY set.
    int checked = 0;
    const std::uint16_t client_port = Port(client.socket.fd(), false);
    for (int fd = 0; fd < 1024; ++fd) {
        if (fd != client.socket.fd() && Port(fd, true) == client_port && Port(fd, false) == port) {
            int no_delay = 0;
            socklen_t size = sizeof no_delay;
            ASSERT_EQ(::getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &no_delay, &size), 0);
            EXPECT_NE(no_delay, 0);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 1);
}

TEST_F(QtTcpTransportTest, SecondClientTakesOverAndTheFirstIsClosed) {
    Open();
    Peer first(port);
    first.socket.Send("PS\r");
    ASSERT_TRUE(RunUntil([&] { return first.received == "OK:PS\rEND\r"; }, {&first}));

    Peer second(port);
    ASSERT_TRUE(RunUntil([&] { return first.socket.ended; }, {&first, &second}));
    second.socket.Send("PB\r");
    ASSERT_TRUE(RunUntil([&] { return second.received == "OK:PB\rEND\r"; }, {&first, &second}));
    EXPECT_EQ(first.received, "OK:PS\rEND\r");
    // Closing the displaced client is the server's doing, not a peer close.
    EXPECT_FALSE(Listed("[TCP] 用戶端連線 : 已關閉"));
}

// A client that ends its side still gets its replies; its close is reported.
TEST_F(QtTcpTransportTest, HalfClosedClientStillGetsItsReplies) {
    Open();
    Peer client(port);
    client.socket.Send("PS\r");
    client.socket.ShutdownWrite();
    ASSERT_TRUE(RunUntil([&] { return client.socket.ended; }, {&client}));
    EXPECT_EQ(client.received, "OK:PS\rEND\r");
    EXPECT_TRUE(Listed("[TCP] 用戶端連線 : 已關閉"));
}

TEST_F(QtTcpTransportTest, CloseServerEndsTheClientAndTheListener) {
    Open();
    Peer client(port);
    ASSERT_TRUE(RunUntil([&] { return Listed("[TCP] 伺服端 : 用戶端已請求連線 ..."); }));
    server->CloseServer();
    EXPECT_TRUE(RunUntil([&] { return client.socket.ended; }, {&client}));
    LoopbackClient late(port);
    EXPECT_FALSE(late.connected());
}

TEST_F(QtTcpTransportTest, ClientThatReadsNothingIsDroppedAndTheNextIsServed) {
    Open();
    {
        Peer flooder(port, 1024);
        ASSERT_TRUE(flooder.socket.connected());
        // Long lines, so that the echoed replies fill the socket buffers soon. Sending
        // fails once the station has shut the connection.
        const std::string line = std::string(1000, 'P') + "\r";
        ASSERT_TRUE(RunUntil(
            [&] {
                return ::send(flooder.socket.fd(), line.data(), line.size(), MSG_NOSIGNAL) < 0 &&
                       errno != EAGAIN;
            },
            {}, std::chrono::seconds(20)));
        // The drop is the client's close, and nothing of it ran afterwards.
        const std::string log = FromAnsi(dir.Read("Log/2026-12-5.log"));
        const std::size_t close = log.find("[TCP] 用戶端連線 : 已關閉");
        ASSERT_NE(close, std::string::npos);
        EXPECT_EQ(log.find("伺服端接收", close), std::string::npos);
        // Replies that went nowhere are not listed as sent.
        EXPECT_EQ(list.lines().back(), "[TCP] 用戶端連線 : 已關閉");
    }
    Peer next(port);
    next.socket.Send("PB\r");
    EXPECT_TRUE(RunUntil([&] { return next.received == "OK:PB\rEND\r"; }, {&next}));
}

TEST_F(QtTcpTransportTest, ClientOutsideTheAllowListIsClosedAndListed) {
    std::vector<std::string> errors;
    Open(ReadRemoteAccess(IniFile::Parse("[REMOTE]\nADDRESS=::\nALLOW=127.0.0.1, ::1\n"), errors));
    Peer allowed(port);
    LoopbackClient refused(port, 0, "127.0.0.2");
    ASSERT_TRUE(refused.connected());
    refused.Send("PS\r");
    ASSERT_TRUE(RunUntil([&] { return !refused.Read(1, 0).empty() || refused.ended; }));
    EXPECT_TRUE(refused.ended);
    allowed.socket.Send("PB\r");
    ASSERT_TRUE(RunUntil([&] { return allowed.received == "OK:PB\rEND\r"; }, {&allowed}));
    EXPECT_TRUE(Listed("[TCP] 伺服端 : 已拒絕用戶端連線 127.0.0.2"));
    EXPECT_EQ(std::ranges::count(list.lines(), "[TCP] 伺服端 : 用戶端已請求連線 ..."), 1);
}

// Out of descriptors, a waiting connection must not keep the thread busy; it is taken
// once descriptors come free.
TEST_F(QtTcpTransportTest, AcceptWaitsOutADescriptorShortageWithoutSpinning) {
    Open();
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    const int probe = ::dup(0);
    const rlimit low = {static_cast<rlim_t>(probe + 8), saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> fillers{probe};
    Peer client(port);
    for (int fd; (fd = ::dup(0)) >= 0;) {
        fillers.push_back(fd);
    }
    const std::clock_t cpu_before = std::clock();
    QEventLoop loop;
    QTimer::singleShot(400, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu_ms = 1000.0 * static_cast<double>(std::clock() - cpu_before) / CLOCKS_PER_SEC;
    for (int fd : fillers) {
        ::close(fd);
    }
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_LT(cpu_ms, 100.0);
    client.socket.Send("PS\r");
    EXPECT_TRUE(RunUntil([&] { return client.received == "OK:PS\rEND\r"; }, {&client}));
}

}  // namespace
}  // namespace vantu::testing
