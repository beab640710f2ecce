// Qt implementations of the core's ports.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

#include "base/ports.h"

class QWidget;

namespace vantu {

// Message boxes parented to the main window.
class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* parent) : parent_(parent) {}
    bool AskYesNo(const std::string& text) override;

  protected:
    void ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) override;

  private:
    QWidget* parent_;
};

// Without a window: every prompt goes to standard error and gets its safe answer
// (OK for boxes, No for questions).
class ConsolePrompts : public Prompts {
  public:
    bool AskYesNo(const std::string& text) override;

  protected:
    void ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) override;
};

class QtTimers : public Timers {
  public:
    explicit QtTimers(std::function<void(int)> on_tick) : on_tick_(std::move(on_tick)) {}
    void Start(int id, int milliseconds) override;
    void Kill(int id) override;
    long long RemainingMs(int id) const override;

  private:
    std::function<void(int)> on_tick_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

class QtPoster : public Poster {
  public:
    void Post(std::function<void()> work) override;
};

// The per-user profile: QSettings under the organisation "Tessaro".
class QtProfile : public ProfileStore {
  public:
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    void Write(const std::string& section, const std::string& key,
               const std::string& value) override;
};

}  // namespace vantu
