// Scripted stand-ins for the core's ports: they record what the core asked for and
// let a test drive time and answers.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/ports.h"

namespace vantu::testing {

struct Prompt {
    PromptIcon icon;
    std::string text;
    std::string caption;
};

class FakePrompts : public Prompts {
  public:
    bool AskYesNo(const std::string& text) override;

    // Answers for the next questions, in order; a question with none queued gets No.
    std::deque<bool> answers;
    std::vector<Prompt> shown;
    // Runs while each box is open, as the events a nested event loop delivers.
    std::function<void()> while_open;

  protected:
    void ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) override;
};

// Virtual time: Advance() fires due timers in time order, each tick through the
// callback the test (or the controller wiring) installs. A timer keeps ticking at its
// period until it is killed, like the window timers it stands for.
class ManualTimers : public Timers {
  public:
    void Start(int id, int milliseconds) override;
    void Kill(int id) override;

    bool IsRunning(int id) const { return timers_.count(id) != 0; }
    // Milliseconds from now until the timer fires; -1 when it is not running.
    long long RemainingMs(int id) const override;
    void Advance(long long milliseconds);

    // Every Start and Kill since the last call, in order: "start 0 1000", "kill 1".
    std::vector<std::string> TakeJournal() { return std::exchange(journal, {}); }

    std::function<void(int)> on_tick;
    std::vector<std::string> journal;
    long long now_ms = 0;

  private:
    struct Entry {
        long long due;
        int period;
    };
    std::map<int, Entry> timers_;
};

// What every load, reset, save and remote command does around its card work: the
// report poll and the main page refresh stopped, then restarted after 1 and 1.5 s.
inline const std::vector<std::string> kStoppedAndRestarted = {"kill 0", "kill 1", "start 0 1000",
                                                              "start 1 1500"};

class FakeClock : public Clock {
  public:
    LocalTime Now() override { return time; }
    void SleepMs(int milliseconds) override;
    std::int64_t Microseconds() override { return micros; }
    std::int64_t Nanoseconds() override { return micros * 1000 + nanos; }

    LocalTime time{2026, 12, 5, 19, 46, 12};
    std::int64_t micros = 0;
    // Below the microsecond, for the nanosecond counter only.
    std::int64_t nanos = 0;
    std::vector<int> sleeps;
};

// Work may be posted from any thread; it runs on the test's thread when the test says.
class QueuePoster : public Poster {
  public:
    void Post(std::function<void()> work) override;
    // Runs posted work, including work posted while draining.
    void Drain() {
        RunUntil([this] { return queue.empty(); }, {});
    }
    // Runs posted work until done() holds; false when no work came within the wait.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds wait = std::chrono::seconds(5));

    std::deque<std::function<void()>> queue;

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
};

class FakeWindow : public MainWindow {
  public:
    void ShowPage(int tab) override { shown_pages.push_back(tab); }
    void RequestClose() override { ++close_requests; }
    void Minimise() override { ++minimise_requests; }

    std::vector<int> shown_pages;
    int close_requests = 0;
    int minimise_requests = 0;
};

}  // namespace vantu::testing
