// The ways the core reaches the outside world. The Qt shell, the headless runner and
// the tests each supply their own implementations.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vantu {

enum class PromptIcon { Information, Warning, Error, Question };

// Operator message boxes. Every call waits for the operator's answer.
class Prompts {
  public:
    virtual ~Prompts() = default;
    // A box with one OK button, titled with the station's name.
    void Show(PromptIcon icon, const std::string& text) { ShowBox(icon, text, {}); }
    // The same with a caption of its own ("檔案錯誤").
    void Show(PromptIcon icon, const std::string& text, const std::string& caption) {
        ShowBox(icon, text, caption);
    }
    // Yes/No question with the question icon; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;

  protected:
    // caption is empty for the station's own name.
    virtual void ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) = 0;
};

// Window-style timers addressed by id: Start(id, ms) ticks every ms until Kill(id);
// starting a running id replaces its period. A handler that wants one tick kills
// its timer in the tick and starts it again with the next period.
class Timers {
  public:
    virtual ~Timers() = default;
    virtual void Start(int id, int milliseconds) = 0;
    virtual void Kill(int id) = 0;
    // Milliseconds until the timer fires; -1 when it is not running or nobody knows.
    virtual long long RemainingMs(int /*id*/) const { return -1; }
};

struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
    // Blocking wait on the calling thread; the handlers' 10..500 ms waits go here.
    virtual void SleepMs(int milliseconds) = 0;
    // Monotonic microsecond counter for elapsed-time measurements.
    virtual std::int64_t Microseconds() = 0;
    // The same counter in nanoseconds, for run times reported to the nanosecond; a
    // clock without a finer counter gives whole microseconds.
    virtual std::int64_t Nanoseconds() { return Microseconds() * 1000; }
};

// Runs work later on the GUI thread, after the current handler has returned.
class Poster {
  public:
    virtual ~Poster() = default;
    virtual void Post(std::function<void()> work) = 0;
};

// Per-user key/value profile (section, key).
class ProfileStore {
  public:
    virtual ~ProfileStore() = default;
    virtual std::string Read(const std::string& section, const std::string& key,
                             const std::string& fallback) = 0;
    virtual void Write(const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

// What the controller asks of the main window.
class MainWindow {
  public:
    virtual ~MainWindow() = default;
    virtual void ShowPage(int tab) = 0;
    virtual void RequestClose() = 0;
    virtual void Minimise() = 0;
};

}  // namespace vantu
