// vantu-vsa-sim: the stand-in for the signal-analysis software of a simulated
// station. Started by the station directory's OP_89600vsa.sh; serves the analyzer
// link on .vantu-vsa.sock in its working directory.
#include <QApplication>
#include <QDir>

#include <cstdio>
#include <string_view>

#include "base/software_version.h"
#include "gui/vsa_sim_window.h"
#include "sim/scpi_analyzer_server.h"

namespace {

constexpr const char* kUsage =
    "Usage: vantu-vsa-sim\n"
    "       vantu-vsa-sim -h | --help | --version\n"
    "Stand-in for the signal-analysis software of a simulated station: shows its window\n"
    "and serves the analyzer link on .vantu-vsa.sock in the current directory, the\n"
    "station directory. The station's OP_89600vsa.sh starts it.\n"
    "Exit status: 0 closed, 1 the socket is served by another instance or cannot be\n"
    "made, 2 usage error.\n";

// -1 to go on serving; otherwise the exit status after answering the command line.
int AnswerCommandLine(int argc, char** argv) {
    if (argc < 2) {
        return -1;
    }
    const std::string_view arg = argv[1];
    if (argc == 2 && (arg == "-h" || arg == "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && arg == "--version") {
        std::printf("vantu-vsa-sim %s\n", vantu::kSoftwareVersion.data());
        return 0;
    }
    const bool known = arg == "-h" || arg == "--help" || arg == "--version";
    std::fprintf(stderr, "vantu-vsa-sim: unexpected argument '%s' (see --help)\n",
                 argv[known ? 2 : 1]);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerCommandLine(argc, argv); status >= 0) {
        return status;
    }
    QApplication app(argc, argv);
    const QString station_dir = QDir::currentPath();
    vantu::VsaSimWindow window(station_dir);
    const QString socket = station_dir + "/" + QString::fromUtf8(vantu::kStandInSocket);
    if (!window.Listen(socket)) {
        std::fprintf(stderr, "vantu-vsa-sim: cannot serve %s: %s\n", qPrintable(socket),
                     qPrintable(window.ListenError()));
        return 1;
    }
    window.show();
    return QApplication::exec();
}
