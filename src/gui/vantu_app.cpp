#include "gui/vantu_app.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

#include <cstdio>

#include "app/station_texts.h"
#include "base/log_files.h"
#include "base/system_clock.h"
#include "gui/qt_ports.h"
#include "gui/service_notifier.h"
#include "gui/station.h"
#include "gui/station_directory.h"
#include "gui/station_pages.h"
#include "gui/station_window.h"
#include "gui/termination_signals.h"
#include "widgets/colour_chooser.h"
#include "widgets/qt_colour.h"
#include "widgets/redraw_soon.h"

namespace vantu {
namespace {

// The main window's class name, kept in the profile as the single-instance key.
constexpr const char* kWindowClassName = "VANTUMainFrame";
constexpr const char* kNoClassName = "default string";

constexpr const char* kStationMade = "[GUI] 工作目錄 : 首次啟動, 已由安裝範例建立 ";

StationPlaces Places() {
    return {
        .current = QDir::currentPath().toStdString(),
        .per_user = (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     QStringLiteral("/vantu/station"))
                        .toStdString(),
        .example =
            (QCoreApplication::applicationDirPath() + QStringLiteral("/../share/vantu/station"))
                .toStdString(),
    };
}

}  // namespace

bool CVANTUApp::EnterStationDirectory() {
    const StationDirectory dir = ChooseStationDirectory(options_.station, Places());
    if (dir.path.empty() || !QDir::setCurrent(QString::fromStdString(dir.path))) {
        std::fprintf(stderr, "vantu: %s\n",
                     dir.error.empty() ? ("cannot enter " + dir.path).c_str() : dir.error.c_str());
        return false;
    }
    if (dir.made) {
        const std::string note = kStationMade + dir.path;
        SystemClock clock;
        LogFiles log(dir.path, clock);
        log.OpenLog();
        log.AppendLog(note);
        std::fprintf(stderr, "vantu: first start: made the station %s from the example\n",
                     dir.path.c_str());
        if (!options_.headless) {
            QMessageBox::information(nullptr, ToQString(kWindowTitle),
                                     QString::fromStdString(note));
        }
    }
    return true;
}

InstanceStart CVANTUApp::StartApplication() {
    if (!EnterStationDirectory()) {
        return InstanceStart::kRefused;
    }
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
    ServiceNotifier service;
    window.set_on_closing([&station, &service] {
        service.Stopping();
        station.Shutdown();
        QCoreApplication::quit();
    });
    TerminationSignals termination([&window] { window.RequestClose(); });
    station.Start();
    if (station.shut_down()) {
        return 0;
    }
    const QString running = QStringLiteral("station running in ") + QDir::currentPath();
    std::fprintf(stderr, "vantu: %s\n", qPrintable(running));
    service.Ready(running);
    return QCoreApplication::exec();
}

int CVANTUApp::RunWindowed() {
    StationWindow window;
    QtPrompts prompts(&window);
    QtColourChooser colours(&window);
    Station station(options_, QDir::currentPath().toStdString(), shared_, window, prompts);
    CVANTUDlg& controller = station.controller();
    StationPages pages(station, window, shared_, colours);
    // The pages redraw a moment after the command or tick that changed their models,
    // however many changes it made: its replies, and the next command's, leave first.
    // One line when the page first shows the card's report, for whoever waits on it.
    RedrawSoon sync([&pages, &controller, announced = false]() mutable {
        pages.SyncFromModels();
        if (!announced && controller.main_refresh().showed_report()) {
            announced = true;
            std::fprintf(stderr, "vantu: main page shows the card's report\n");
        }
    });
    controller.set_on_state_changed([&sync] { sync.Changed(); });
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
