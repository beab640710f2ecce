// The fault history page (the seventh tab): the recorded transitions under filters by
// module, kind and acknowledgement, acknowledging one or all, the view's CSV export and
// the temperature trends. It refreshes itself every second while it is shown.
#pragma once

#include <QWidget>

#include "pages/fault_history_model.h"
#include "status/fault_view.h"
#include "status/report_watch.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTableView;
class QTimer;

namespace vantu {

class CFaultHistoryPage : public QWidget {
  public:
    explicit CFaultHistoryPage(ReportWatch& watch, QWidget* parent = nullptr);

    // Brings the list up to the history: new entries at the top, the selection kept on
    // the entries it was on.
    void SyncFromModel();
    FaultFilter filter() const;
    QTableView* table() const { return table_; }
    FaultHistoryModel* rows() const { return rows_; }
    QSpinBox* module_filter() const { return module_; }
    QComboBox* kind_filter() const { return kind_; }
    QCheckBox* unacknowledged_filter() const { return unacknowledged_; }
    // Acknowledges the selected rows' entries.
    void AcknowledgeSelected();
    void AcknowledgeAll();
    // Writes the filter's view as CSV; false when the file cannot be written.
    bool ExportTo(const QString& path) const;
    // Opens the trend of the selected row's module, else the module filter's, else the
    // antenna's.
    QWidget* OpenTrend();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void SizeColumns();

    ReportWatch& watch_;
    QSpinBox* module_;
    QComboBox* kind_;
    QCheckBox* unacknowledged_;
    FaultHistoryModel* rows_;
    QTableView* table_;
    QTimer* refresh_;
};

}  // namespace vantu
