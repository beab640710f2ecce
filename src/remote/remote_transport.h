// The socket layer under the TCP server, seen from the core: a listener and one
// client slot. The Qt shell implements it on the GUI thread; tests capture the bytes.
#pragma once

#include <string_view>

namespace vantu {

enum class ListenResult {
    kListening,
    // The system gave no socket to listen on.
    kSocketLayerFailed,
    // The socket could not be bound to the port on its address.
    kCreateFailed,
    kListenFailed,
};

enum class SendResult {
    kSent,
    // No client in the slot, or the connection failed; the read side reports a close.
    kLost,
    // The client read nothing for too long and was shut out; the slot is empty.
    kClientDropped,
};

class RemoteTransport {
  public:
    virtual ~RemoteTransport() = default;
    // Listens at the station's port, backlog 1: on all local IPv4 addresses unless setup.ini
    // names another address.
    virtual ListenResult Listen() = 0;
    // Takes the connection that was just requested into the client slot.
    virtual void AcceptPending() = 0;
    // One write of the bytes to the client in the slot; lost when the slot is empty.
    // While replies are gathered the bytes wait instead, and kSent only means that.
    virtual SendResult SendToClient(std::string_view bytes) = 0;
    // Gathering on: what SendToClient is given waits. Off: what waited leaves in one
    // write, with the result of that write (kSent when nothing waited).
    virtual SendResult GatherReplies(bool gather) = 0;
    // While held, nothing more is read from the client: its bytes wait in the system's
    // buffers, and the client is slowed down rather than queued without end.
    virtual void HoldReading(bool hold) = 0;
    // Shuts the client connection down both ways and empties the slot. Nothing more
    // is delivered from that connection.
    virtual void CloseClient() = 0;
    virtual void CloseListener() = 0;
};

// What the socket layer delivers, one event at a time on the thread of the core.
class TransportEvents {
  public:
    virtual ~TransportEvents() = default;
    // A client asks to connect; the handler takes it with AcceptPending.
    virtual void OnConnectionRequested() = 0;
    // Bytes from the client in the slot, in arrival order.
    virtual void OnDataReceived(std::string_view bytes) = 0;
    // The client in the slot closed its end.
    virtual void OnPeerClosed() = 0;
    // A client the allow list refuses was closed at once; address as it is listed.
    virtual void OnConnectionRefused(std::string_view address) = 0;
};

}  // namespace vantu
