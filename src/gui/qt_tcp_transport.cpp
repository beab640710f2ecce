#include "gui/qt_tcp_transport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

#include "remote/tcp_client.h"

namespace vantu {
namespace {

// How long a reply may wait for room in a client's socket buffer; a client that reads
// nothing for that long is dropped, so the station neither hangs nor buffers without end.
constexpr int kSendTimeoutMs = 2000;
// Reads per notification: a client that never stops sending still lets the timers and
// a new connection have their turn.
constexpr int kReadsPerNotification = 16;
// How long accepting pauses when the process or system is out of descriptors.
constexpr int kAcceptRetryMs = 250;

// A notifier may be the one whose signal is running: it goes once control returns.
void Dispose(std::unique_ptr<QSocketNotifier>& notifier) {
    if (notifier) {
        notifier->setEnabled(false);
        notifier.release()->deleteLater();
    }
}

struct ListenAddress {
    int family = AF_INET;
    sockaddr_storage storage{};
    socklen_t size = 0;
};

// ADDRESS as a socket address at the port; nullopt when it is no address.
std::optional<ListenAddress> ListenAddressOf(const std::string& text, std::uint16_t port) {
    ListenAddress listen;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&listen.storage);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&listen.storage);
    if (::inet_pton(AF_INET, text.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        listen.size = sizeof *v4;
        return listen;
    }
    if (::inet_pton(AF_INET6, text.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        listen.family = AF_INET6;
        listen.size = sizeof *v6;
        return listen;
    }
    return std::nullopt;
}

Address16 ClientAddress(const sockaddr_storage& peer) {
    Address16 address{};
    if (peer.ss_family == AF_INET6) {
        std::memcpy(address.data(), &reinterpret_cast<const sockaddr_in6&>(peer).sin6_addr, 16);
        return address;
    }
    address[10] = 0xFF;
    address[11] = 0xFF;
    std::memcpy(address.data() + 12, &reinterpret_cast<const sockaddr_in&>(peer).sin_addr, 4);
    return address;
}

}  // namespace

QtTcpTransport::QtTcpTransport(std::uint16_t port) : port_(port) {}

QtTcpTransport::~QtTcpTransport() {
    CloseClient();
    CloseListener();
}

ListenResult QtTcpTransport::Listen() {
    const std::optional<ListenAddress> address = ListenAddressOf(access_.address, port_);
    const int fd = ::socket(address ? address->family : AF_INET,
                            SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return ListenResult::kSocketLayerFailed;
    }
    const int on = 1;
    const int off = 0;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (address && address->family == AF_INET6) {
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    }
    if (!address ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address->storage), address->size) != 0) {
        ::close(fd);
        return ListenResult::kCreateFailed;
    }
    if (::listen(fd, 1) != 0) {
        ::close(fd);
        return ListenResult::kListenFailed;
    }
    listen_fd_ = fd;
    listen_notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read, &owner_);
    QObject::connect(listen_notifier_.get(), &QSocketNotifier::activated,
                     [this] { AcceptConnections(); });
    return ListenResult::kListening;
}

void QtTcpTransport::AcceptConnections() {
    while (listen_fd_ >= 0 && pending_fd_ < 0) {
        pending_fd_ = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (pending_fd_ < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                PauseAccepting(errno);
            }
            return;
        }
        accept_pause_reported_ = false;
        if (RefuseUnlisted(pending_fd_)) {
            pending_fd_ = -1;
            continue;
        }
        // Until the core takes this one, later clients wait in the listen backlog, and
        // the client in the slot, about to be displaced, is no longer served.
        listen_notifier_->setEnabled(false);
        UpdateReading();
        if (events_ != nullptr) {
            events_->OnConnectionRequested();
        }
    }
}

// The connection stays in the backlog and the listener stays readable: left armed, the
// notifier would fire without end until a descriptor comes free.
void QtTcpTransport::PauseAccepting(int reason) {
    listen_notifier_->setEnabled(false);
    if (!accept_pause_reported_) {
        accept_pause_reported_ = true;
        std::fprintf(stderr, "vantu: remote server cannot accept a connection (%s); trying again\n",
                     std::strerror(reason));
    }
    QTimer::singleShot(kAcceptRetryMs, &owner_, [this] {
        if (listen_notifier_ && pending_fd_ < 0) {
            listen_notifier_->setEnabled(true);
        }
    });
}

bool QtTcpTransport::RefuseUnlisted(int fd) {
    sockaddr_storage peer{};
    socklen_t size = sizeof peer;
    ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size);
    const Address16 client = ClientAddress(peer);
    if (IsAllowed(access_, client)) {
        return false;
    }
    ::close(fd);
    if (events_ != nullptr) {
        events_->OnConnectionRefused(AddressText(client));
    }
    return true;
}

void QtTcpTransport::AcceptPending() {
    if (pending_fd_ < 0) {
        return;
    }
    CloseClient();
    client_fd_ = std::exchange(pending_fd_, -1);
    if (listen_notifier_) {
        listen_notifier_->setEnabled(true);
    }
    ++slot_serial_;
    // Two replies in a row (a data line and its token) go out at once rather than
    // waiting for the client's delayed acknowledgement.
    const int on = 1;
    ::setsockopt(client_fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    client_notifier_ =
        std::make_unique<QSocketNotifier>(client_fd_, QSocketNotifier::Read, &owner_);
    QObject::connect(client_notifier_.get(), &QSocketNotifier::activated, [this] { ReadClient(); });
    UpdateReading();
}

void QtTcpTransport::HoldReading(bool hold) {
    reading_held_ = hold;
    UpdateReading();
}

void QtTcpTransport::UpdateReading() {
    if (client_notifier_) {
        client_notifier_->setEnabled(!reading_held_ && pending_fd_ < 0);
    }
}

void QtTcpTransport::ReadClient() {
    const std::uint64_t serial = slot_serial_;
    char chunk[kMaxChunkBytes];
    for (int reads = 0; reads < kReadsPerNotification && client_fd_ >= 0 &&
                        slot_serial_ == serial && client_notifier_->isEnabled();
         ++reads) {
        const ssize_t count = ::recv(client_fd_, chunk, sizeof chunk, 0);
        if (count > 0) {
            if (events_ != nullptr) {
                events_->OnDataReceived(std::string_view(chunk, static_cast<std::size_t>(count)));
            }
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        LosePeer();
        return;
    }
}

void QtTcpTransport::LosePeer() {
    gathered_.clear();
    Dispose(client_notifier_);
    ::close(client_fd_);
    client_fd_ = -1;
    ++slot_serial_;
    if (events_ != nullptr) {
        events_->OnPeerClosed();
    }
}

SendResult QtTcpTransport::SendToClient(std::string_view bytes) {
    if (!gathering_ || client_fd_ < 0) {
        return WriteToClient(bytes);
    }
    gathered_ += bytes;
    return SendResult::kSent;
}

SendResult QtTcpTransport::GatherReplies(bool gather) {
    gathering_ = gather;
    if (gather || gathered_.empty()) {
        return SendResult::kSent;
    }
    return WriteToClient(std::exchange(gathered_, {}));
}

SendResult QtTcpTransport::WriteToClient(std::string_view bytes) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kSendTimeoutMs);
    while (client_fd_ >= 0 && !bytes.empty()) {
        const ssize_t sent =
            ::send(client_fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd room{client_fd_, POLLOUT, 0};
            if (left.count() > 0 && ::poll(&room, 1, static_cast<int>(left.count())) > 0) {
                continue;
            }
            std::fprintf(stderr, "vantu: remote client dropped: it reads no replies\n");
            CloseClient();
            return SendResult::kClientDropped;
        }
        // Any other error: the reply is lost; the read side reports the close.
        return SendResult::kLost;
    }
    return client_fd_ >= 0 ? SendResult::kSent : SendResult::kLost;
}

void QtTcpTransport::CloseClient() {
    if (client_fd_ < 0) {
        return;
    }
    gathered_.clear();
    Dispose(client_notifier_);
    ::shutdown(client_fd_, SHUT_RDWR);
    ::close(client_fd_);
    client_fd_ = -1;
    ++slot_serial_;
}

void QtTcpTransport::CloseListener() {
    if (listen_fd_ < 0) {
        return;
    }
    Dispose(listen_notifier_);
    ::close(listen_fd_);
    listen_fd_ = -1;
    if (pending_fd_ >= 0) {
        ::close(std::exchange(pending_fd_, -1));
    }
}

}  // namespace vantu
