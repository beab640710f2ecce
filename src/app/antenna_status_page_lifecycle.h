// How the antenna status page joins the controller's tab selections and timers.
#pragma once

#include "app/station_texts.h"
#include "controller/controller_timers.h"
#include "controller/page_lifecycle.h"
#include "status/antenna_status_page_model.h"
#include "status/report_memory.h"
#include "status/report_watch.h"

namespace vantu {

inline constexpr int kAntennaFirstMs = 1000;
inline constexpr int kAntennaPeriodMs = 5000;

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
