// SIGINT and SIGTERM delivered as a Qt signal on the GUI thread, so the station can
// run its ordered shutdown instead of dying mid-write. Only the first signal counts:
// later ones, and any after the object is gone, are ignored.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace vantu {

class TerminationSignals {
  public:
    explicit TerminationSignals(std::function<void()> on_signal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  private:
    std::function<void()> on_signal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vantu
