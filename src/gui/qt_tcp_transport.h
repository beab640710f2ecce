// The TCP server's socket layer on the GUI thread: a listening socket (all local IPv4
// addresses unless [REMOTE] ADDRESS says otherwise) and one client socket, watched by Qt socket
// notifiers and delivered to the core as accept, data and close events. Reads and writes go
// straight to the sockets rather than through QTcpSocket's buffers: a command's replies are one
// send that returns once the system has taken it, and nothing piles up behind a client that does
// not read.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "remote/remote_access.h"
#include "remote/remote_transport.h"

namespace vantu {

class QtTcpTransport : public RemoteTransport {
  public:
    explicit QtTcpTransport(std::uint16_t port);
    ~QtTcpTransport() override;
    QtTcpTransport(const QtTcpTransport&) = delete;
    QtTcpTransport& operator=(const QtTcpTransport&) = delete;

    // Where the events go; set before Listen.
    void set_events(TransportEvents* events) { events_ = events; }
    // Where to listen and whom to serve; set before Listen.
    void set_access(RemoteAccess access) { access_ = std::move(access); }

    ListenResult Listen() override;
    void AcceptPending() override;
    SendResult SendToClient(std::string_view bytes) override;
    SendResult GatherReplies(bool gather) override;
    void HoldReading(bool hold) override;
    void CloseClient() override;
    void CloseListener() override;

  private:
    void AcceptConnections();
    void PauseAccepting(int reason);
    // Closes a client the allow list refuses; true when it was.
    bool RefuseUnlisted(int fd);
    SendResult WriteToClient(std::string_view bytes);
    void ReadClient();
    // The client's end is gone: frees its socket and reports the close.
    void LosePeer();
    // The client in the slot is read unless the core holds reading or a newcomer
    // waits to displace it.
    void UpdateReading();

    std::uint16_t port_;
    RemoteAccess access_;
    TransportEvents* events_ = nullptr;
    // Parent of the notifiers: those released while their signal ran go with it at the
    // latest.
    QObject owner_;
    int listen_fd_ = -1;
    std::unique_ptr<QSocketNotifier> listen_notifier_;
    // Accepted, waiting for the core to take it into the slot; when the core is busy
    // that happens later than the connection arrived.
    int pending_fd_ = -1;
    int client_fd_ = -1;
    std::unique_ptr<QSocketNotifier> client_notifier_;
    bool reading_held_ = false;
    // Set at the first failed accept of a shortage, so it is reported once.
    bool accept_pause_reported_ = false;
    bool gathering_ = false;
    // Replies waiting for the end of the command that made them.
    std::string gathered_;
    // Changes whenever the slot does, so a read loop notices a new or closed client.
    std::uint64_t slot_serial_ = 0;
};

}  // namespace vantu
