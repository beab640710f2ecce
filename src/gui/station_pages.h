// The seven tab pages of the window, built over the station's page models. The page in
// view redraws its model after every command and tick, the others when they are shown;
// all are gone before the station they draw.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/station.h"
#include "gui/station_window.h"
#include "widgets/colour_chooser.h"

class QLabel;

namespace vantu {

class CCPAGE1DLG;
class CCPAGE2DLG;
class CCPAGE3DLG;
class CCPAGE5DLG;
class CCPAGE6DLG;
class CCPAGE7DLG;
class CFaultHistoryPage;
class CReportCtrl;
class X11AnalyzerWindows;

class StationPages {
  public:
    StationPages(Station& station, StationWindow& window, SharedSettings& shared,
                 ColourChooser& colours);
    ~StationPages();
    StationPages(const StationPages&) = delete;
    StationPages& operator=(const StationPages&) = delete;

    // Redraws every page from its model.
    void SyncFromModels();

  private:
    // The grids of the pages that show the card's report.
    std::vector<CReportCtrl*> ReportGrids() const;
    void ShowGlyphs(bool on);
    void ShowStale(bool stale);
    void ShowFlood();
    // Hatches the report's grids while it is stale and lets the module views follow
    // the fault history's latches (the controller has them follow each report).
    void FollowReportWatch();

    CVANTUDlg& controller_;
    CCPAGE2DLG* main_;
    CCPAGE1DLG* trm_;
    CCPAGE5DLG* qdxa_;
    CCPAGE3DLG* antenna_;
    CCPAGE6DLG* firmware_;
    CCPAGE7DLG* analyzer_;
    CFaultHistoryPage* history_;
    QLabel* flood_banner_;
    std::unique_ptr<X11AnalyzerWindows> analyzer_windows_;
    bool stale_shown_ = false;
    std::uint64_t history_revision_ = 0;
};

}  // namespace vantu
