// CCPAGE7DLG: the signal-analyzer page. Four groups (generator, analyzer, chassis
// control, message list) and the frame the analysis software's window is placed
// over. It draws the instrument page state and the page model, and forwards the
// operator's actions to the instrument page and the chassis controls.
#pragma once

#include <QWidget>

#include <array>
#include <string>

#include "app/analyzer_page_lifecycle.h"
#include "base/ports.h"
#include "model/analyzer_page_model.h"
#include "model/main_page_model.h"
#include "pages/vsa_settings_dialog.h"
#include "pattern/chassis_controls.h"
#include "widgets/redraw_soon.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vantu {

struct AnalyzerPageContext {
    AnalyzerPageLifecycle& instruments;
    AnalyzerPageModel& model;
    ChassisControls& chassis;
    // The pattern names of setup.ini, for the control-code field.
    const MainPageModel& main_page;
    std::string station_dir;
};

class CCPAGE7DLG : public QWidget {
  public:
    explicit CCPAGE7DLG(AnalyzerPageContext context, QWidget* parent = nullptr);
    ~CCPAGE7DLG() override;
    CCPAGE7DLG(const CCPAGE7DLG&) = delete;
    CCPAGE7DLG& operator=(const CCPAGE7DLG&) = delete;

    // Redraws everything the core may have changed.
    void SyncFromModel();
    // A settings-dialog text, as the main window receives it.
    void ReceiveDialogText(const QString& text);

    // The frame "VSA 向量信號分析" the software's window is put over.
    QWidget* analyzer_frame() const { return frame_; }
    CCVSASETDLG* settings_dialog() const { return settings_; }
    QListWidget* message_list() const { return messages_; }
    QPushButton* generator_open_button() const { return vsg_open_; }
    QComboBox* power_box() const { return power_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* BuildGeneratorGroup();
    QWidget* BuildAnalyzerGroup();
    QWidget* BuildChassisGroup();
    QWidget* BuildMessageGroup();
    QWidget* BuildMarkerBoxes(QWidget* parent);
    void WireGenerator();
    void WireAnalyzer();
    void WireChassis();
    void Browse();
    void ShowMessages();
    void SyncGenerator();
    void SyncAnalyzer();
    void SyncChassis();

    AnalyzerPageContext ctx_;
    // Generator group.
    QComboBox* frequency_ = nullptr;
    QComboBox* power_ = nullptr;
    QComboBox* pulse_ = nullptr;
    QPushButton* vsg_open_ = nullptr;
    QPushButton* vsg_info_ = nullptr;
    QPushButton* rf_ = nullptr;
    // Analyzer group.
    QPushButton* vsa_open_ = nullptr;
    QPushButton* vsa_settings_ = nullptr;
    QPushButton* vsa_reset_ = nullptr;
    QPushButton* vsa_read_ = nullptr;
    QPushButton* vsa_measure_ = nullptr;
    std::array<QLineEdit*, kMarkerBoxes> marker_values_{};
    std::array<QLabel*, kMarkerBoxes> marker_labels_{};
    QCheckBox* save_log_ = nullptr;
    QCheckBox* pin_window_ = nullptr;
    QCheckBox* trigger_mode_ = nullptr;
    QCheckBox* phase_ = nullptr;
    QLineEdit* log_file_ = nullptr;
    QLineEdit* phase_file_ = nullptr;
    // Chassis group.
    QComboBox* code_file_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* load_ = nullptr;
    QComboBox* interval_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* stop_ = nullptr;
    QRadioButton* single_step_ = nullptr;
    QRadioButton* continuous_ = nullptr;
    // Message list and the software's frame.
    QListWidget* messages_ = nullptr;
    QWidget* frame_ = nullptr;
    CCVSASETDLG* settings_ = nullptr;
    RedrawSoon redraw_{[this] {
        ShowMessages();
        SyncFromModel();
    }};
};

}  // namespace vantu
