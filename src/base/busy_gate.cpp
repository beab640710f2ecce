#include "base/busy_gate.h"

#include <utility>

namespace vantu {

void BusyGate::Run(std::function<void()> work) {
    if (!free()) {
        waiting_.push_back(std::move(work));
        ScheduleWaiting();
        return;
    }
    Hold hold(*this);
    work();
}

void BusyGate::Release() {
    if (--depth_ == 0) {
        ScheduleWaiting();
    }
}

void BusyGate::ScheduleWaiting() {
    if (held() || waiting_.empty() || replay_posted_) {
        return;
    }
    replay_posted_ = true;
    poster_.Post([this] {
        replay_posted_ = false;
        RunNextWaiting();
    });
}

// One piece of work per posting, so timers and window events get their turn between
// queued commands. Its holder's release schedules the next.
void BusyGate::RunNextWaiting() {
    if (held() || waiting_.empty()) {
        return;
    }
    std::function<void()> work = std::move(waiting_.front());
    waiting_.pop_front();
    Hold hold(*this);
    work();
}

}  // namespace vantu
