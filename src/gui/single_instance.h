// One station per card, whoever starts it (the card can serve only one), or one per
// station directory on the simulated chassis so demos and tests can run side by
// side. A second start of the same user asks the first to come forward and ends; a
// start while another user's station holds the card is refused with its name.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>
#include <string>

#include "gui/station_lock.h"

namespace vantu {

enum class InstanceStart { kFirst, kBroughtForward, kRefused };

class SingleInstance : public QObject {
  public:
    // lock_path: the station lock; key: names this user's socket through which a
    // second start reaches the first.
    SingleInstance(std::string lock_path, const QString& key);

    InstanceStart Acquire();
    // After kRefused: one line saying why.
    const std::string& refusal() const { return refusal_; }
    void set_on_raise(std::function<void()> on_raise) { on_raise_ = std::move(on_raise); }

  private:
    void Listen();
    void AskToRaise();

    StationLock lock_;
    QString socket_path_;
    QLocalServer server_;
    std::string refusal_;
    std::function<void()> on_raise_;
};

// The socket key for a station: the class name alone on hardware, the class name and
// a digest of the station directory on the simulator.
QString InstanceKey(const QString& class_name, bool simulate, const QString& station_dir);

// Where the lock lives: machine-wide for the card, in this user's runtime directory
// for a simulated station.
std::string InstanceLockPath(bool simulate, const QString& key);

}  // namespace vantu
