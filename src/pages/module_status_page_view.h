// The TRM (CCPAGE1DLG) and QDX-A (CCPAGE5DLG) status pages: a Qt view of a
// ModuleStatusPage. It draws the model's grids and texts and forwards the operator's
// tree, radio, check box and position table actions to it.
#pragma once

#include <QWidget>

#include <functional>
#include <vector>

#include "status/module_status_page_model.h"

class QCheckBox;
class QMenu;
class QRadioButton;
class QTreeWidget;

namespace vantu {

class CGroupBox;
class CReportCtrl;
class CStatic;

class CModuleStatusPage : public QWidget, public ModulePageSurface {
  public:
    // The model draws on this page from now on; the window outlives the controller
    // that owns the model, so the page never hands the surface back.
    explicit CModuleStatusPage(ModuleStatusPage& model, QWidget* parent = nullptr);

    // Redraws the titles, labels, check boxes and word fields from the model.
    void SyncFromModel();

    CellSink& module_grid() override;
    CellSink& position_face() override;
    CellSink& status_face() override;
    void SetBarDisplay(bool on) override;
    void UncheckRow(int row) override;

    // For tests and tools.
    CReportCtrl& grid() { return *grid_; }
    CReportCtrl& position_grid() { return *position_; }
    CReportCtrl& status_grid() { return *status_; }
    QTreeWidget& tree() { return *tree_; }
    const std::vector<QRadioButton*>& view_buttons() const { return view_buttons_; }
    QCheckBox& refresh_all_box() { return *refresh_all_; }
    QCheckBox& status_face_box() { return *status_box_; }
    QMenu& status_menu() { return *status_menu_; }
    QString grid_title() const;
    QString position_title() const;

  private:
    void BuildLeft();
    void BuildCentre();
    void BuildViewGroup();
    void BuildPositionGroup();
    void BuildHiddenBoxes();
    void Act(const std::function<void()>& action);
    void ShowSelectionInTree();

    ModuleStatusPage& model_;
    QTreeWidget* tree_ = nullptr;
    CGroupBox* grid_group_ = nullptr;
    CReportCtrl* grid_ = nullptr;
    std::vector<QRadioButton*> view_buttons_;
    CStatic* slb_label_ = nullptr;
    CStatic* main_label_ = nullptr;
    CStatic* sp_value_ = nullptr;
    CStatic* internal_value_ = nullptr;
    CStatic* slb_value_ = nullptr;
    CStatic* main_value_ = nullptr;
    CGroupBox* position_group_ = nullptr;
    CReportCtrl* position_ = nullptr;
    CReportCtrl* status_ = nullptr;
    QCheckBox* position_box_ = nullptr;
    QCheckBox* status_box_ = nullptr;
    QCheckBox* refresh_all_ = nullptr;
    QMenu* status_menu_ = nullptr;
};

class CCPAGE1DLG : public CModuleStatusPage {
  public:
    using CModuleStatusPage::CModuleStatusPage;
};

class CCPAGE5DLG : public CModuleStatusPage {
  public:
    using CModuleStatusPage::CModuleStatusPage;
};

}  // namespace vantu
