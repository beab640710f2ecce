#include "remote/gated_transport_events.h"

#include <string>

namespace vantu {

void GatedTransportEvents::OnConnectionRequested() {
    gate_.Run([this] { events_.OnConnectionRequested(); });
}

void GatedTransportEvents::OnDataReceived(std::string_view bytes) {
    if (gate_.free()) {
        gate_.Run([this, bytes] { events_.OnDataReceived(bytes); });
        return;
    }
    ++waiting_chunks_;
    transport_.HoldReading(true);
    gate_.Run([this, data = std::string(bytes)] {
        if (--waiting_chunks_ == 0) {
            transport_.HoldReading(false);
        }
        events_.OnDataReceived(data);
    });
}

void GatedTransportEvents::OnConnectionRefused(std::string_view address) {
    gate_.Run([this, text = std::string(address)] { events_.OnConnectionRefused(text); });
}

void GatedTransportEvents::OnPeerClosed() {
    gate_.Run([this] { events_.OnPeerClosed(); });
}

}  // namespace vantu
