// CCPAGE6DLG: the firmware version page. It draws its model (unit list, module list,
// read button, progress of a running read, what the last read missed) and forwards
// the operator's actions.
#pragma once

#include <QWidget>

#include "controller/command_sink.h"
#include "serial/firmware_page_model.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace vantu {

class CReportCtrl;

class CCPAGE6DLG : public QWidget {
  public:
    CCPAGE6DLG(FirmwarePageModel& model, CommandSink& commands, QWidget* parent = nullptr);

    void SyncFromModel();

    QPushButton* read_button() const { return read_button_; }
    QProgressBar* progress() const { return progress_; }
    QLabel* warning() const { return warning_; }
    QSpinBox* spin() const { return spin_; }
    CReportCtrl* unit_list() const { return unit_list_; }
    CReportCtrl* module_list() const { return module_list_; }

  private:
    void OnRead();
    void OnSpin(int position);

    FirmwarePageModel& model_;
    CommandSink& commands_;
    ModuleListSpin spin_steps_;
    CReportCtrl* unit_list_;
    CReportCtrl* module_list_;
    QPushButton* read_button_;
    QProgressBar* progress_;
    QLabel* warning_;
    QSpinBox* spin_;
};

}  // namespace vantu
