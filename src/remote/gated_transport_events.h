// The socket layer's events passed through the busy gate: an accept, received bytes or
// a close that arrive while a command or a prompt is in progress wait, in order, until
// it has returned. While received bytes wait, the transport reads no more.
#pragma once

#include <string_view>

#include "base/busy_gate.h"
#include "remote/remote_transport.h"

namespace vantu {

class GatedTransportEvents : public TransportEvents {
  public:
    GatedTransportEvents(BusyGate& gate, RemoteTransport& transport, TransportEvents& events)
        : gate_(gate), transport_(transport), events_(events) {}

    void OnConnectionRequested() override;
    void OnDataReceived(std::string_view bytes) override;
    void OnPeerClosed() override;
    void OnConnectionRefused(std::string_view address) override;

  private:
    BusyGate& gate_;
    RemoteTransport& transport_;
    TransportEvents& events_;
    // Received chunks waiting behind the gate.
    int waiting_chunks_ = 0;
};

}  // namespace vantu
