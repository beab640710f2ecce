// How the TRM and QDX-A status pages join the controller's tab selections and the
// report ticks.
#pragma once

#include "controller/page_lifecycle.h"
#include "status/module_status_page_model.h"
#include "status/report_watch.h"

namespace vantu {

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

}  // namespace vantu
