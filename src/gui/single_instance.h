// One station per user on the real card (the card can serve only one), or one per
// station directory on the simulated chassis so demos and tests can run side by
// side. A second start asks the first to come forward and ends.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace vantu {

class SingleInstance : public QObject {
  public:
    // key: the profile's "Class Name", plus the station directory on the simulator.
    explicit SingleInstance(const QString& key);

    // True when this process is the first; otherwise the first one was asked to
    // come forward.
    bool Acquire();
    void set_on_raise(std::function<void()> on_raise) { on_raise_ = std::move(on_raise); }

  private:
    void Listen();

    QString base_path_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    std::function<void()> on_raise_;
};

// The lock key for a station: the class name alone on hardware, the class name and
// a digest of the station directory on the simulator.
QString InstanceKey(const QString& class_name, bool simulate, const QString& station_dir);

}  // namespace vantu
