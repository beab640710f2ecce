#include "gui/vantu_app.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

#include "gui/qt_ports.h"
#include "gui/station.h"
#include "gui/station_window.h"
#include "gui/termination_signals.h"
#include "pages/antenna_status_view.h"
#include "pages/main_page.h"
#include "pages/module_status_view.h"
#include "widgets/colour_chooser.h"

namespace vantu {
namespace {

// The main window's class name, kept in the profile as the single-instance key.
constexpr const char* kWindowClassName = "VANTUMainFrame";
constexpr const char* kNoClassName = "default string";

}  // namespace

bool CVANTUApp::StartApplication() {
    QtProfile profile;
    std::string class_name = profile.Read("Settings", "Class Name", kNoClassName);
    // Before the first start wrote it, the key is the class name the window will have.
    if (class_name == kNoClassName) {
        class_name = kWindowClassName;
    }
    instance_ = std::make_unique<SingleInstance>(
        InstanceKey(QString::fromStdString(class_name), options_.simulate, QDir::currentPath()));
    if (!instance_->Acquire()) {
        std::fprintf(stderr, "vantu: a station already runs here; it was brought forward\n");
        return false;
    }
    profile.Write("Settings", "Class Name", kWindowClassName);
    return true;
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
    std::fprintf(stderr, "vantu: station running in %s\n", qPrintable(QDir::currentPath()));
    return QCoreApplication::exec();
}

int CVANTUApp::RunWindowed() {
    StationWindow window;
    QtPrompts prompts(&window);
    QtColourChooser colours(&window);
    Station station(options_, QDir::currentPath().toStdString(), shared_, window, prompts);
    CVANTUDlg& controller = station.controller();
    auto* main_page =
        new CCPAGE2DLG(MainPageContext{controller.main_page(), shared_, controller, prompts,
                                       colours, [&controller] { controller.SaveReports(); }});
    window.SetPage(kTabMain, main_page);
    controller.set_main_page_surface(main_page);
    auto* trm_page = new CCPAGE1DLG(controller.trm_page());
    auto* qdxa_page = new CCPAGE5DLG(controller.qdxa_page());
    auto* antenna_page = new CCPAGE3DLG(controller.antenna_page());
    window.SetPage(kTabTrm, trm_page);
    window.SetPage(kTabQdxa, qdxa_page);
    window.SetPage(kTabAntenna, antenna_page);
    controller.set_on_state_changed([main_page, trm_page, qdxa_page, antenna_page] {
        main_page->SyncFromModel();
        trm_page->SyncFromModel();
        qdxa_page->SyncFromModel();
        antenna_page->SyncFromModel();
    });
    window.set_on_tab_selected([&station](int tab) { station.controller().SelectTab(tab); });
    window.set_on_closing([&station] { station.Shutdown(); });
    instance_->set_on_raise([&window] { window.BringForward(); });
    TerminationSignals termination([&window] { window.close(); });
    window.show();
    station.Start();
    return QApplication::exec();
}

}  // namespace vantu
