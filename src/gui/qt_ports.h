// Qt implementations of the core's ports.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "base/ports.h"

class QWidget;

namespace vantu {

// Without a window: every prompt goes to standard error and gets its safe answer
// (OK for boxes, No for questions).
class ConsolePrompts : public Prompts {
  public:
    bool AskYesNo(const std::string& text) override;

  protected:
    void ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) override;
};

// Message boxes parented to the main window, until the station is told to stop: from
// then on every prompt gets its safe answer as ConsolePrompts gives it.
class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* parent) : parent_(parent) {}
    bool AskYesNo(const std::string& text) override;
    // Closes the boxes that are open with their safe answer and shows no more.
    void AnswerSafelyFromNow();

  protected:
    void ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) override;

  private:
    // A box on screen, its safe button and the line that reports that answer.
    struct OpenBox {
        QMessageBox* box;
        QMessageBox::StandardButton safe;
        std::function<void()> report;
    };
    // Runs the box until it is answered; the button it closed with.
    int Run(OpenBox open);

    QWidget* parent_;
    ConsolePrompts console_;
    bool answering_safely_ = false;
    std::vector<OpenBox> open_;
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
