// vantu-vsa-sim: the stand-in for the signal-analysis software of a simulated
// station. Started by the station directory's OP_89600vsa.sh; serves the analyzer
// link on .vantu-vsa.sock in its working directory.
#include <QApplication>
#include <QDir>

#include <cstdio>

#include "gui/vsa_sim_window.h"
#include "instruments/instrument_backends.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString station_dir = QDir::currentPath();
    vantu::VsaSimWindow window(station_dir);
    const QString socket = station_dir + "/" + QString::fromUtf8(vantu::kStandInSocket);
    if (!window.Listen(socket)) {
        std::fprintf(stderr, "vantu-vsa-sim: cannot serve %s\n", qPrintable(socket));
        return 1;
    }
    window.show();
    return QApplication::exec();
}
