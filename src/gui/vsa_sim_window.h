// The stand-in for the signal-analysis software on a simulated station: a window
// with the software's exact title showing the simulated spectrum with its markers,
// serving the analyzer link in SCPI on a local socket in the station directory.
#pragma once

#include <QWidget>

#include <memory>

#include "sim/scpi_analyzer_server.h"
#include "sim/simulated_analyzer.h"

class QLocalServer;
class QLocalSocket;

namespace vantu {

class VsaSimWindow : public QWidget {
  public:
    explicit VsaSimWindow(const QString& station_dir);

    // false when the socket cannot be served (another stand-in runs here).
    // False when another instance already serves path, or the socket cannot be made.
    bool Listen(const QString& path);
    QString ListenError() const { return listen_error_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Accept();
    void Serve(QLocalSocket* socket);

    SimulatedAnalyzer analyzer_;
    ScpiAnalyzerServer server_{analyzer_};
    QLocalServer* listener_;
    QString listen_error_;
};

}  // namespace vantu
