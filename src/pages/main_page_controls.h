// The controls of the main page, created and placed on the page; the page wires
// their behaviour.
#pragma once

#include <array>

#include "status/main_page_refresh.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace vantu {

class CGroupBox;
class CHealthMark;
class CReportCtrl;

struct MainPageControls {
    CGroupBox* antenna_group = nullptr;
    CReportCtrl* antenna_grid = nullptr;
    // Beside each legend swatch, the label of its band; shown with the legend.
    std::array<QLabel*, kTempColourCount> legend_labels{};
    CReportCtrl* status_list = nullptr;
    CReportCtrl* summary_list = nullptr;
    QListWidget* messages = nullptr;
    // In the order of kViewChoices.
    std::array<QCheckBox*, 4> view_boxes{};
    // In the order of HealthIndicator.
    std::array<CHealthMark*, kHealthIndicatorCount> indicators{};
    // Nothing drives it: it keeps its no-data picture.
    CHealthMark* control_mode_mark = nullptr;
    QComboBox* patterns = nullptr;
    QPushButton* load = nullptr;
    QPushButton* run = nullptr;
    QPushButton* close = nullptr;
    QPushButton* minimise = nullptr;
    QLineEdit* ant_no = nullptr;
    QPushButton* set = nullptr;
};

MainPageControls BuildMainPageControls(QWidget& page);

}  // namespace vantu
