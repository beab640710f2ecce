// The Qt socket layer under the server core, over real loopback sockets: exact bytes,
// low-delay client sockets, a displaced client closed, half-closed and closing peers.
#include "gui/qt_tcp_transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QCoreApplication>

#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "remote/tcp_server.h"
#include "remote_fakes.h"
#include "temp_dir.h"

namespace vantu::testing {
namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "test_remote_qt";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

std::uint16_t LocalPort(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

std::uint16_t PeerPort(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

std::uint16_t FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const std::uint16_t port = LocalPort(fd);
    ::close(fd);
    return port;
}

// A plain non-blocking client socket on loopback.
class Client {
  public:
    // receive_buffer: a small one makes a client that reads nothing fill up quickly.
    explicit Client(std::uint16_t port, int receive_buffer = 0)
        : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        if (receive_buffer > 0) {
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::fcntl(fd_, F_SETFL, O_NONBLOCK);
    }
    ~Client() { ::close(fd_); }

    void Send(const std::string& bytes) { ::send(fd_, bytes.data(), bytes.size(), 0); }
    void ShutdownWrite() { ::shutdown(fd_, SHUT_WR); }
    // Takes what has arrived; notes the end of the stream.
    void Poll() {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n > 0) {
                received.append(buffer, static_cast<std::size_t>(n));
            } else {
                ended |= n == 0;
                return;
            }
        }
    }
    int fd() const { return fd_; }
    bool connected() const { return connected_; }

    std::string received;
    bool ended = false;

  private:
    int fd_;
    bool connected_ = false;
};

class EchoDispatch : public CommandDispatch {
  public:
    void DispatchCommand(const std::string& line) override {
        server->SendReply("OK:" + line);
        server->SendReply("END");
    }
    void DispatchOverlongLine() override {}
    CCServer* server = nullptr;
};

class QtTcpTransportTest : public ::testing::Test {
  protected:
    QtTcpTransportTest() {
        App();
        dir.MakeDir("Log");
        logs.OpenLog();
        dispatch.server = &server;
        transport.set_events(&server);
    }

    // Runs the event loop until the condition holds (every client polled) or the time
    // is up.
    bool RunUntil(const std::function<bool()>& done, std::vector<Client*> clients = {},
                  std::chrono::seconds limit = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            for (Client* client : clients) {
                client->Poll();
            }
            if (done()) {
                return true;
            }
        }
        return false;
    }

    bool Listed(const std::string& line) {
        for (const std::string& listed : list.lines()) {
            if (listed == line) {
                return true;
            }
        }
        return false;
    }

    TempDir dir;
    FakeClock clock;
    LogFiles logs{dir.path(), clock};
    MessageList list;
    ControllerFlags flags;
    ClockElapsed elapsed{clock};
    EchoDispatch dispatch;
    CCServer server{ServerContext{transport_ref(), logs, list, flags, elapsed}, dispatch};
    std::uint16_t port = FreeLoopbackPort();
    QtTcpTransport transport{port};

  private:
    // The server core keeps a reference to the transport made after it.
    RemoteTransport& transport_ref() { return transport; }
};

TEST_F(QtTcpTransportTest, RepliesArriveAsExactBytesOnALowDelaySocket) {
    ASSERT_EQ(server.OpenServer(), 0);
    Client client(port);
    ASSERT_TRUE(client.connected());
    client.Send("PS\rP");
    client.Send("B\r\n");
    client.Send("X\r");
    const std::string expected = "OK:PS\rEND\rOK:PB\rEND\rOK:\nX\rEND\r";
    ASSERT_TRUE(RunUntil([&] { return client.received.size() >= expected.size(); }, {&client}));
    EXPECT_EQ(client.received, expected);

    // The station's end of this connection has TCP_NODELAY set.
    int checked = 0;
    for (int fd = 0; fd < 1024; ++fd) {
        if (fd != client.fd() && PeerPort(fd) == LocalPort(client.fd()) && LocalPort(fd) == port) {
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
    ASSERT_EQ(server.OpenServer(), 0);
    Client first(port);
    first.Send("PS\r");
    ASSERT_TRUE(RunUntil([&] { return first.received == "OK:PS\rEND\r"; }, {&first}));

    Client second(port);
    ASSERT_TRUE(RunUntil([&] { return first.ended; }, {&first, &second}));
    second.Send("PB\r");
    ASSERT_TRUE(RunUntil([&] { return second.received == "OK:PB\rEND\r"; }, {&first, &second}));
    EXPECT_EQ(first.received, "OK:PS\rEND\r");
    // Closing the displaced client is the server's doing, not a peer close.
    EXPECT_FALSE(Listed("[TCP] 用戶端連線 : 已關閉"));
}

TEST_F(QtTcpTransportTest, HalfClosedClientStillGetsItsReplies) {
    ASSERT_EQ(server.OpenServer(), 0);
    Client client(port);
    client.Send("PS\r");
    client.ShutdownWrite();
    ASSERT_TRUE(RunUntil([&] { return client.ended; }, {&client}));
    EXPECT_EQ(client.received, "OK:PS\rEND\r");
    EXPECT_TRUE(Listed("[TCP] 用戶端連線 : 已關閉"));
}

TEST_F(QtTcpTransportTest, PeerCloseIsReported) {
    ASSERT_EQ(server.OpenServer(), 0);
    {
        Client client(port);
        ASSERT_TRUE(RunUntil([&] { return Listed("[TCP] 伺服端 : 用戶端已請求連線 ..."); }));
    }
    EXPECT_TRUE(RunUntil([&] { return Listed("[TCP] 用戶端連線 : 已關閉"); }));
}

TEST_F(QtTcpTransportTest, CloseServerEndsTheClientAndTheListener) {
    ASSERT_EQ(server.OpenServer(), 0);
    Client client(port);
    ASSERT_TRUE(RunUntil([&] { return Listed("[TCP] 伺服端 : 用戶端已請求連線 ..."); }));
    server.CloseServer();
    EXPECT_TRUE(RunUntil([&] { return client.ended; }, {&client}));
    Client late(port);
    EXPECT_FALSE(late.connected());
}

TEST_F(QtTcpTransportTest, ClientThatReadsNothingIsDroppedAndTheNextIsServed) {
    ASSERT_EQ(server.OpenServer(), 0);
    {
        Client flooder(port, 1024);
        ASSERT_TRUE(flooder.connected());
        // Long lines, so that the echoed replies fill the socket buffers soon. Sending
        // fails once the station has shut the connection.
        const std::string line = std::string(1000, 'P') + "\r";
        ASSERT_TRUE(RunUntil(
            [&] {
                return ::send(flooder.fd(), line.data(), line.size(), MSG_NOSIGNAL) < 0 &&
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
    Client next(port);
    next.Send("PB\r");
    EXPECT_TRUE(RunUntil([&] { return next.received == "OK:PB\rEND\r"; }, {&next}));
}

TEST_F(QtTcpTransportTest, PortInUseIsAnOpenFailure) {
    const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(holder, 1), 0);

    EXPECT_EQ(server.OpenServer(), 1);
    EXPECT_EQ(list.lines(), std::vector<std::string>{"[TCP] 伺服器 : 開啟異常"});
    EXPECT_FALSE(flags.server_open);
    ::close(holder);
}

}  // namespace
}  // namespace vantu::testing
