// How the TRM, QDX-A and antenna status pages join the controller's tab selections
// and timers.
#pragma once

#include "app/station_texts.h"
#include "controller/controller_timers.h"
#include "controller/page_lifecycle.h"
#include "status/antenna_status_page_model.h"
#include "status/module_status_page_model.h"
#include "status/report_memory.h"
#include "status/report_watch.h"

namespace vantu {

inline constexpr int kAntennaFirstMs = 1000;
inline constexpr int kAntennaPeriodMs = 5000;

// The first tab selection of the run shows the page's first view, once. While its tab
// is shown the module grid follows every full report; selecting the tab catches up on
// the reports it missed. A stale report keeps the last picture.
class ModulePageLifecycle : public PageLifecycle {
  public:
    ModulePageLifecycle(ModuleStatusPage& page, int tab, const ReportWatch& watch)
        : page_(page), tab_(tab), watch_(watch) {}
    int tab() const override { return tab_; }
    void FirstSelection() override { page_.ChooseView(0); }
    void Shown() override {
        if (!watch_.stale()) {
            page_.ReportReadableAgain();
        }
    }
    void ReportCompleted() override { page_.ReportReadableAgain(); }

  private:
    ModuleStatusPage& page_;
    int tab_;
    const ReportWatch& watch_;
};

// Timer 2 refreshes the antenna status page while its tab is shown; a stale report
// leaves the last readings standing.
class AntennaPageLifecycle : public PageLifecycle {
  public:
    AntennaPageLifecycle(AntennaStatusPage& page, const ReportMemory& report,
                         const ReportWatch& watch)
        : page_(page), report_(report), watch_(watch) {}
    int tab() const override { return kTabAntenna; }
    PageTimer timer() const override { return {kAntennaTimer, kAntennaFirstMs, kAntennaPeriodMs}; }
    void Tick() override {
        if (!watch_.stale()) {
            page_.Refresh(report_.reg_sts());
        }
    }

  private:
    AntennaStatusPage& page_;
    const ReportMemory& report_;
    const ReportWatch& watch_;
};

}  // namespace vantu
