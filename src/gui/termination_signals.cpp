#include "gui/termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace vantu {
namespace {

int g_signal_fds[2] = {-1, -1};

void IgnoreTermination() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGINT, &ignore, nullptr);
    sigaction(SIGTERM, &ignore, nullptr);
}

void OnSignal(int) {
    char byte = 1;
    // Only async-signal-safe work here: wake the GUI thread, and let the shutdown the
    // first signal starts run to its end whatever signals follow it.
    [[maybe_unused]] ssize_t n = ::write(g_signal_fds[0], &byte, 1);
    IgnoreTermination();
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> on_signal)
    : on_signal_(std::move(on_signal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signal_fds) != 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(g_signal_fds[1], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        char byte = 0;
        [[maybe_unused]] ssize_t n = ::read(g_signal_fds[1], &byte, 1);
        notifier_->setEnabled(false);
        on_signal_();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    // Neither signal interrupts the handler of the other: the second one finds them
    // ignored.
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    // The process is on its way out: a late signal must not end it with 130 or 143.
    IgnoreTermination();
    notifier_.reset();
    for (int& fd : g_signal_fds) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

}  // namespace vantu
