// DispatchCommand: what every remote command line goes through. The card-absent
// answer first, timers 0 and 1 stopped around the command, the command word looked
// up in the command sets, "NOT_SUPPORT" for a word that none of them knows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/ports.h"
#include "controller/controller_flags.h"
#include "remote/latency_histogram.h"
#include "remote/tcp_server.h"

namespace vantu {

// One family of remote commands (chassis, instruments).
class RemoteCommandSet {
  public:
    virtual ~RemoteCommandSet() = default;
    // Runs the command when word is one of this set's; false when it is not.
    virtual bool RunCommand(std::string_view word, const std::string& line) = 0;
};

class RemoteDispatcher : public CommandDispatch {
  public:
    // With a clock, each line's run time goes into latency().
    RemoteDispatcher(CCServer& server, const ControllerFlags& flags, Timers& timers,
                     Clock* clock = nullptr);

    // Sets are asked in the order they were added.
    void AddCommands(RemoteCommandSet& commands);
    void DispatchCommand(const std::string& line) override;
    void DispatchOverlongLine() override;

    const LatencyHistogram& latency() const { return latency_; }

  private:
    // What every line goes through around its command: the card-absent answer, timers
    // 0 and 1 stopped and restarted, the list trimmed.
    template <typename Command>
    void Framed(Command command);
    bool RunKnownCommand(const std::string& line);

    CCServer& server_;
    const ControllerFlags& flags_;
    Timers& timers_;
    Clock* clock_;
    LatencyHistogram latency_;
    std::vector<RemoteCommandSet*> command_sets_;
};

}  // namespace vantu
