#include "gui/service_notifier.h"

#include <systemd/sd-daemon.h>

#include <cstdint>

namespace vantu {

ServiceNotifier::ServiceNotifier() {
    QObject::connect(&watchdog_, &QTimer::timeout, [] { sd_notify(0, "WATCHDOG=1"); });
}

void ServiceNotifier::Ready(const QString& status) {
    sd_notify(0, ("READY=1\nSTATUS=" + status).toUtf8().constData());
    std::uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) > 0) {
        // Twice per period, as systemd advises, so one late tick does not kill the unit.
        watchdog_.start(static_cast<int>(usec / 2000));
        sd_notify(0, "WATCHDOG=1");
    }
}

void ServiceNotifier::Stopping() {
    watchdog_.stop();
    sd_notify(0, "STOPPING=1");
}

}  // namespace vantu
