// How the main page joins the controller's tab selections and timers.
#pragma once

#include "app/station_texts.h"
#include "controller/controller_timers.h"
#include "controller/page_lifecycle.h"
#include "status/main_page_refresh.h"
#include "status/module_status_page_model.h"
#include "status/report_memory.h"
#include "status/report_watch.h"

namespace vantu {

struct MainPageParts {
    MainPageRefresh& refresh;
    // Set once the window exists; none when headless.
    MainPageSurface* const& surface;
    const ReportMemory& report;
    const ReportWatch& watch;
    ModuleStatusPage& trm_page;
    ModuleStatusPage& qdxa_page;
};

// Timer 1 repaints the main page while tab 0 is shown.
class MainPageLifecycle : public PageLifecycle {
  public:
    explicit MainPageLifecycle(MainPageParts parts) : parts_(parts) {}
    int tab() const override { return kTabMain; }
    PageTimer timer() const override {
        return {kMainRefreshTimer, kMainRefreshRestartMs, kMainRefreshPeriodMs};
    }
    void Tick() override {
        // A report that could not be read keeps the last good picture, hatched as stale,
        // rather than drawing its 0xFFFFFFFF words as faults.
        if (parts_.watch.stale()) {
            return;
        }
        parts_.refresh.Refresh(parts_.surface);
        // The module pages show the same antenna words, as of this refresh.
        parts_.trm_page.ShowAntennaWords(parts_.report.reg_sts());
        parts_.qdxa_page.ShowAntennaWords(parts_.report.reg_sts());
    }

  private:
    MainPageParts parts_;
};

}  // namespace vantu
