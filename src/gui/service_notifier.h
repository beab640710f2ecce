// The headless station as a systemd notify service: readiness once the station runs,
// then the watchdog fed from the event loop, so a hung loop gets the unit restarted.
// Outside such a service (no NOTIFY_SOCKET) it does nothing.
#pragma once

#include <QTimer>

namespace vantu {

class ServiceNotifier {
  public:
    ServiceNotifier();
    ServiceNotifier(const ServiceNotifier&) = delete;
    ServiceNotifier& operator=(const ServiceNotifier&) = delete;

    // READY=1 with a status line, and the watchdog from then on when the unit has one.
    void Ready(const QString& status);
    void Stopping();

  private:
    QTimer watchdog_;
};

}  // namespace vantu
