// The pattern test station wired to remote control as the main controller wires it,
// with one client connected.
#pragma once

#include <string>
#include <vector>

#include "pattern_station.h"
#include "remote/remote_control.h"
#include "remote_fakes.h"

namespace vantu::testing {

struct RemoteStation : PatternStation {
    explicit RemoteStation(bool with_card = true);

    // Sends the line and its CR as the client in the slot; the replies, without CRs.
    std::vector<std::string> Command(const std::string& line);

    RecordingTransport transport;
    QueuePoster poster;
    BusyGate gate{poster};
    ClockElapsed elapsed;
    RemoteControl remote;
};

}  // namespace vantu::testing
