#include "gui/vantu_app.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include "app/station_texts.h"
#include "gui/qt_ports.h"
#include "gui/station.h"
#include "gui/station_pages.h"
#include "gui/station_window.h"
#include "gui/termination_signals.h"
#include "widgets/colour_chooser.h"
#include "widgets/qt_colour.h"

namespace vantu {
namespace {

// The main window's class name, kept in the profile as the single-instance key.
constexpr const char* kWindowClassName = "VANTUMainFrame";
constexpr const char* kNoClassName = "default string";

}  // namespace

InstanceStart CVANTUApp::StartApplication() {
    QtProfile profile;
    std::string class_name = profile.Read("Settings", "Class Name", kNoClassName);
    // Before the first start wrote it, the key is the class name the window will have.
    if (class_name == kNoClassName) {
        class_name = kWindowClassName;
    }
    const QString key =
        InstanceKey(QString::fromStdString(class_name), options_.simulate, QDir::currentPath());
    instance_ = std::make_unique<SingleInstance>(InstanceLockPath(options_.simulate, key), key);
    const InstanceStart start = instance_->Acquire();
    switch (start) {
        case InstanceStart::kFirst:
            profile.Write("Settings", "Class Name", kWindowClassName);
            break;
        case InstanceStart::kBroughtForward:
            std::fprintf(stderr, "vantu: a station already runs here; it was brought forward\n");
            break;
        case InstanceStart::kRefused:
            std::fprintf(stderr, "%s\n", instance_->refusal().c_str());
            if (!options_.headless) {
                QMessageBox::critical(nullptr, ToQString(kWindowTitle),
                                      QString::fromStdString(instance_->refusal()));
            }
            break;
    }
    return start;
}

int CVANTUApp::Run() {
    return options_.headless ? RunHeadless() : RunWindowed();
}

int CVANTUApp::RunHeadless() {
    ConsolePrompts prompts;
    HeadlessWindow window;
    Station station(options_, QDir::currentPath().toStdString(), shared_, window, prompts);
    window.set_on_closing([&station] {
        station.Shutdown();
        QCoreApplication::quit();
    });
    TerminationSignals termination([&window] { window.RequestClose(); });
    station.Start();
    if (station.shut_down()) {
        return 0;
    }
    std::fprintf(stderr, "vantu: station running in %s\n", qPrintable(QDir::currentPath()));
    return QCoreApplication::exec();
}

int CVANTUApp::RunWindowed() {
    StationWindow window;
    QtPrompts prompts(&window);
    QtColourChooser colours(&window);
    Station station(options_, QDir::currentPath().toStdString(), shared_, window, prompts);
    CVANTUDlg& controller = station.controller();
    StationPages pages(station, window, shared_, colours);
    // The pages redraw once the command or tick that changed their models has returned,
    // however many changes it made: its replies leave first. One line when the page
    // first shows the card's report, for whoever waits on it.
    QTimer sync;
    sync.setSingleShot(true);
    QObject::connect(&sync, &QTimer::timeout, [&pages, &controller, announced = false]() mutable {
        pages.SyncFromModels();
        if (!announced && controller.main_refresh().showed_report()) {
            announced = true;
            std::fprintf(stderr, "vantu: main page shows the card's report\n");
        }
    });
    controller.set_on_state_changed([&sync] { sync.start(0); });
    window.set_on_tab_selected([&station](int tab) { station.controller().SelectTab(tab); });
    window.set_on_closing([&station] { station.Shutdown(); });
    instance_->set_on_raise([&window] { window.BringForward(); });
    // From a signal on, every question gets its safe answer as headless, so nothing
    // waits for a click: the open boxes close, the shutdown asks no one, and a start-up
    // box ends start-up there instead of running on without its window.
    TerminationSignals termination([&window, &prompts] {
        prompts.AnswerSafelyFromNow();
        window.close();
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->close();
        }
    });
    window.show();
    station.Start();
    return station.shut_down() ? 0 : QApplication::exec();
}

}  // namespace vantu
