#include "gui/station_pages.h"

#include <QDir>

#include "pages/analyzer_page.h"
#include "pages/antenna_status_view.h"
#include "pages/firmware_page.h"
#include "pages/main_page.h"
#include "pages/module_status_view.h"
#include "pages/x11_analyzer_windows.h"

namespace vantu {

StationPages::StationPages(Station& station, StationWindow& window, SharedSettings& shared,
                           ColourChooser& colours) {
    CVANTUDlg& controller = station.controller();
    main_ = new CCPAGE2DLG(MainPageContext{controller.main_page(), shared, controller,
                                           controller.prompts(), colours,
                                           [&controller] { controller.SaveReports(); }});
    trm_ = new CCPAGE1DLG(controller.trm_page());
    qdxa_ = new CCPAGE5DLG(controller.qdxa_page());
    antenna_ = new CCPAGE3DLG(controller.antenna_page());
    firmware_ = new CCPAGE6DLG(controller.firmware().model(), controller);
    analyzer_ = new CCPAGE7DLG(AnalyzerPageContext{
        station.instrument_page(), controller.analyzer_page(), controller.chassis_controls(),
        controller.main_page(), QDir::currentPath().toStdString()});
    window.SetPage(kTabMain, main_);
    window.SetPage(kTabTrm, trm_);
    window.SetPage(kTabQdxa, qdxa_);
    window.SetPage(kTabAntenna, antenna_);
    window.SetPage(kTabFirmware, firmware_);
    window.SetPage(kTabAnalyzer, analyzer_);
    controller.set_main_page_surface(main_);
    analyzer_windows_ = X11AnalyzerWindows::Open(*analyzer_->analyzer_frame());
    station.instrument_page().analyzer().set_windows(analyzer_windows_.get());
    station.set_on_instrument_tick([this] { analyzer_->SyncFromModel(); });
}

// The window would delete its pages only after the station's models are gone.
StationPages::~StationPages() {
    delete analyzer_;
    delete firmware_;
    delete antenna_;
    delete qdxa_;
    delete trm_;
    delete main_;
}

void StationPages::SyncFromModels() {
    main_->SyncFromModel();
    trm_->SyncFromModel();
    qdxa_->SyncFromModel();
    antenna_->SyncFromModel();
    firmware_->SyncFromModel();
    analyzer_->SyncFromModel();
}

}  // namespace vantu
