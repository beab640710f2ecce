// vantu: the operator station, with a window or headless.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gui/command_line.h"
#include "gui/qt_ports.h"
#include "gui/single_instance.h"
#include "gui/station.h"
#include "gui/station_window.h"
#include "gui/termination_signals.h"

namespace {

// The main window's class name, kept in the profile as the single-instance key.
constexpr const char* kWindowClassName = "VANTUMainFrame";

QString InstanceLockKey(const vantu::CommandLine& options) {
    vantu::QtProfile profile;
    std::string class_name = profile.Read("Settings", "Class Name", "default string");
    if (class_name == "default string") {
        class_name = kWindowClassName;
    }
    return vantu::InstanceKey(QString::fromStdString(class_name), options.simulate,
                              QDir::currentPath());
}

int RunHeadless(const vantu::CommandLine& options) {
    vantu::SingleInstance instance(InstanceLockKey(options));
    if (!instance.Acquire()) {
        std::fprintf(stderr,
                     "vantu: another station is running here; it was asked to come forward\n");
        return 0;
    }
    vantu::QtProfile().Write("Settings", "Class Name", kWindowClassName);
    vantu::ConsolePrompts prompts;
    vantu::HeadlessWindow window;
    vantu::Station station(options, QDir::currentPath().toStdString(), window, prompts);
    window.set_on_closing([&station] {
        station.Shutdown();
        QCoreApplication::quit();
    });
    vantu::TerminationSignals termination([&window] { window.RequestClose(); });
    station.Start();
    std::fprintf(stderr, "vantu: station running in %s\n", qPrintable(QDir::currentPath()));
    return QCoreApplication::exec();
}

int RunWindowed(const vantu::CommandLine& options) {
    vantu::SingleInstance instance(InstanceLockKey(options));
    if (!instance.Acquire()) {
        return 0;
    }
    vantu::StationWindow window;
    vantu::QtProfile().Write("Settings", "Class Name", kWindowClassName);
    vantu::QtPrompts prompts(&window);
    vantu::Station station(options, QDir::currentPath().toStdString(), window, prompts);
    window.set_on_tab_selected([&station](int tab) { station.controller().SelectTab(tab); });
    window.set_on_closing([&station] { station.Shutdown(); });
    instance.set_on_raise([&window] { window.BringForward(); });
    vantu::TerminationSignals termination([&window] { window.close(); });
    window.show();
    station.Start();
    return QApplication::exec();
}

}  // namespace

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
    if (parsed.options->headless) {
        QCoreApplication app(argc, argv);
        return RunHeadless(*parsed.options);
    }
    QApplication app(argc, argv);
    return RunWindowed(*parsed.options);
}
