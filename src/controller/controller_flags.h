// The main controller's flags that several subsystems read or set.
#pragma once

namespace vantu {

struct ControllerFlags {
    // Fixed at start-up: the card opened.
    bool card_present = false;
    // A load or reset is rewriting the card: report polling leaves it alone.
    bool load_stop = false;
    // A remote parameter command is using the card: timer ticks only log.
    bool opcode_access = false;
    // The controller is going away: timer ticks do nothing.
    bool closing = false;
    bool server_open = false;
    bool serial_open = false;
};

}  // namespace vantu
