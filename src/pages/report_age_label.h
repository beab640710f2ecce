// The line beside the tabs that tells, on every page, when the card's report was last
// read whole, or that it is stale; refreshed every second.
#pragma once

#include <QLabel>

#include "status/report_watch.h"

namespace vantu {

class ReportAgeLabel : public QLabel {
  public:
    explicit ReportAgeLabel(const ReportWatch& watch, QWidget* parent = nullptr);
    void SyncFromModel();

  private:
    const ReportWatch& watch_;
};

}  // namespace vantu
