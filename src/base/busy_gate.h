// One thing at a time on the GUI thread. Message boxes run a nested event loop that
// still delivers socket notifications and posted work, so without this a remote
// command could run in the middle of an operator's command or its question. A command,
// a remote event and every prompt hold the gate; work offered while it is held waits,
// in order, and runs through the Poster after the outermost holder has returned.
#pragma once

#include <deque>
#include <functional>

#include "base/ports.h"

namespace vantu {

class BusyGate {
  public:
    explicit BusyGate(Poster& poster) : poster_(poster) {}
    BusyGate(const BusyGate&) = delete;
    BusyGate& operator=(const BusyGate&) = delete;

    // Holds the gate for its lifetime; holds nest.
    class Hold {
      public:
        explicit Hold(BusyGate& gate) : gate_(gate) { ++gate_.depth_; }
        ~Hold() { gate_.Release(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        BusyGate& gate_;
    };

    bool held() const { return depth_ > 0; }
    // Work offered now would run at once.
    bool free() const { return !held() && waiting_.empty(); }
    // Runs the work now, holding the gate, when nothing is in progress and nothing
    // waits; otherwise queues it behind what already waits.
    void Run(std::function<void()> work);
    // Forgets the work still waiting: after the shutdown nothing queued may reach the
    // card or the log.
    void DropWaiting() { waiting_.clear(); }

  private:
    void Release();
    void ScheduleWaiting();
    void RunNextWaiting();

    Poster& poster_;
    int depth_ = 0;
    std::deque<std::function<void()>> waiting_;
    bool replay_posted_ = false;
};

}  // namespace vantu
