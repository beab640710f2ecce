// CCPAGE3DLG: the antenna status page. Four groups of small lists, each under a title
// bar, laid out once; the timed refresh's values are drawn from the core model.
#pragma once

#include <QWidget>

#include <vector>

#include "status/antenna_status_page_model.h"

namespace vantu {

class CReportCtrl;

class CCPAGE3DLG : public QWidget {
  public:
    explicit CCPAGE3DLG(const AntennaStatusPage& model, QWidget* parent = nullptr);

    // Writes the model's values into the lists, red where out of limits.
    void SyncFromModel();

    // In the order of AntennaLists; null for the hidden list.
    const std::vector<CReportCtrl*>& lists() const { return lists_; }

  private:
    const AntennaStatusPage& model_;
    std::vector<CReportCtrl*> lists_;
};

}  // namespace vantu
