#include "fake_ports.h"

#include <algorithm>

namespace vantu::testing {

void FakePrompts::ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) {
    shown.push_back({icon, text, caption});
    if (while_open) {
        while_open();
    }
}

bool FakePrompts::AskYesNo(const std::string& text) {
    ShowBox(PromptIcon::Question, text, {});
    const bool answer = !answers.empty() && answers.front();
    if (!answers.empty()) {
        answers.pop_front();
    }
    return answer;
}

void ManualTimers::Start(int id, int milliseconds) {
    journal.push_back("start " + std::to_string(id) + " " + std::to_string(milliseconds));
    timers_[id] = {now_ms + milliseconds, milliseconds};
}

void ManualTimers::Kill(int id) {
    journal.push_back("kill " + std::to_string(id));
    timers_.erase(id);
}

long long ManualTimers::RemainingMs(int id) const {
    auto it = timers_.find(id);
    return it == timers_.end() ? -1 : it->second.due - now_ms;
}

void ManualTimers::Advance(long long milliseconds) {
    const long long end = now_ms + milliseconds;
    for (;;) {
        // The earliest due timer; of timers due together, the lowest id.
        const auto next = std::ranges::min_element(
            timers_, {}, [](const auto& timer) { return timer.second.due; });
        if (next == timers_.end() || next->second.due > end) {
            break;
        }
        now_ms = next->second.due;
        // The next tick is scheduled before this one runs, so a handler that kills or
        // restarts the timer overrides it.
        next->second.due = now_ms + std::max(next->second.period, 1);
        if (on_tick) {
            on_tick(next->first);
        }
    }
    now_ms = end;
}

void FakeClock::SleepMs(int milliseconds) {
    sleeps.push_back(milliseconds);
    micros += static_cast<std::int64_t>(milliseconds) * 1000;
}

void QueuePoster::Post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    queue.push_back(std::move(work));
    posted_.notify_all();
}

bool QueuePoster::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds wait) {
    while (!done()) {
        std::unique_lock lock(mutex_);
        if (!posted_.wait_for(lock, wait, [this] { return !queue.empty(); })) {
            return false;
        }
        auto work = std::move(queue.front());
        queue.pop_front();
        lock.unlock();
        work();
    }
    return true;
}

}  // namespace vantu::testing
