// vantu: the operator station, with a window or headless.
#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gui/command_line.h"
#include "gui/desktop_setup.h"
#include "gui/vantu_app.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    vantu::ParsedCommandLine parsed = vantu::ParseCommandLine(arguments);
    if (!parsed.options) {
        std::fputs(parsed.output.c_str(), stdout);
        std::fputs(parsed.error.c_str(), stderr);
        return parsed.exit_code;
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Tessaro"));
    QCoreApplication::setApplicationName(QStringLiteral("VANTU"));
    std::unique_ptr<QCoreApplication> qt_app;
    if (parsed.options->headless) {
        qt_app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        vantu::DisplayProbe display;
        if (!display.available()) {
            std::fputs("vantu: no display: start with --headless or under xvfb-run\n", stderr);
            return 1;
        }
        auto window_app = std::make_unique<QApplication>(argc, argv);
        vantu::PrepareDesktop(*window_app);
        qt_app = std::move(window_app);
    }
    vantu::CVANTUApp app(*parsed.options);
    switch (app.StartApplication()) {
        case vantu::InstanceStart::kFirst:
            return app.Run();
        case vantu::InstanceStart::kBroughtForward:
            return 0;
        case vantu::InstanceStart::kRefused:
            break;
    }
    return 1;
}
