#include "fake_ports.h"

#include <algorithm>
#include <limits>

namespace vantu::testing {

void FakePrompts::ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) {
    shown.push_back({icon, text, caption});
    if (while_open) {
        while_open();
    }
}

bool FakePrompts::AskYesNo(const std::string& text) {
    ShowBox(PromptIcon::Question, text, {});
    if (answers.empty()) {
        return false;
    }
    bool answer = answers.front();
    answers.pop_front();
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
        int next_id = -1;
        long long next_due = std::numeric_limits<long long>::max();
        for (const auto& [id, entry] : timers_) {
            if (entry.due <= end && entry.due < next_due) {
                next_id = id;
                next_due = entry.due;
            }
        }
        if (next_id < 0) {
            break;
        }
        now_ms = next_due;
        // The next tick is scheduled before this one runs, so a handler that kills or
        // restarts the timer overrides it.
        Entry& entry = timers_[next_id];
        entry.due = now_ms + std::max(entry.period, 1);
        if (on_tick) {
            on_tick(next_id);
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
