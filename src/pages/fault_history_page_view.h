// The alarm page (the seventh tab): the alarms under filters by module, kind, priority
// and acknowledgement, sortable by column; acknowledging with an optional comment,
// shelving for a time or out of service, the alarm load of the last 10 minutes and the
// shift, the view's CSV export and the temperature trends. It follows the history every
// second while it is shown.
#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

#include "pages/fault_history_page_rows.h"
#include "status/fault_history_page_model.h"
#include "status/report_watch.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;
class QTimer;

namespace vantu {

class CFaultHistoryPage : public QWidget {
  public:
    explicit CFaultHistoryPage(ReportWatch& watch, QWidget* parent = nullptr);

    // Brings the list and the figures up to the history; the selection stays on the
    // alarms it was on.
    void SyncFromModel();
    FaultFilter filter() const;
    QTableView* table() const { return table_; }
    QSpinBox* module_filter() const { return module_; }
    QComboBox* kind_filter() const { return kind_; }
    QComboBox* priority_filter() const { return priority_; }
    QCheckBox* unacknowledged_filter() const { return unacknowledged_; }
    QLineEdit* comment() const { return comment_; }
    QComboBox* shelve_time() const { return shelve_time_; }
    QLineEdit* shelve_reason() const { return shelve_reason_; }
    QLabel* figures() const { return figures_; }
    // The selected alarms, with the comment typed beside the button.
    void AcknowledgeSelected();
    void AcknowledgeAll();
    // The selected alarms' sources, or every source of their modules, for the chosen
    // time with the typed reason.
    void ShelveSelected(bool whole_modules);
    void UnshelveSelected();
    // Writes the filter's view as CSV; false when the file cannot be written.
    bool ExportTo(const QString& path) const;
    // Opens the trend of the selected row's module, else the module filter's, else the
    // antenna's.
    QWidget* OpenTrend();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QLayout* BuildFilters();
    QLayout* BuildActions();
    QLayout* BuildShelving();
    void SizeColumns();
    void ShowFigures();
    std::vector<const FaultEntry*> SelectedAlarms() const;

    ReportWatch& watch_;
    QSpinBox* module_;
    QComboBox* kind_;
    QComboBox* priority_;
    QCheckBox* unacknowledged_;
    QLabel* figures_;
    FaultHistoryPageRows* rows_;
    QSortFilterProxyModel* sorted_;
    QTableView* table_;
    QLineEdit* comment_;
    QComboBox* shelve_time_;
    QLineEdit* shelve_reason_;
    QTimer* refresh_;
};

// The user name of the session, who acknowledges and shelves.
std::string SessionUserName();

}  // namespace vantu
