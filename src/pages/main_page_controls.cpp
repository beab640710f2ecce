#include "pages/main_page_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cstdio>

#include "pages/antenna_grid.h"
#include "pages/main_page_layout.h"
#include "pages/main_page_texts.h"
#include "widgets/group_box.h"
#include "widgets/health_mark.h"
#include "widgets/qt_colour.h"
#include "widgets/report_ctrl.h"
#include "widgets/static_text.h"

namespace vantu {
namespace {

namespace layout = main_page_layout;

CGroupBox* Group(QWidget& page, std::string_view title, const QRect& rect) {
    auto* group = new CGroupBox(ToQString(title), &page);
    group->setGeometry(rect);
    return group;
}

QLabel* Label(QWidget& page, std::string_view text, const QRect& rect,
              Qt::Alignment alignment = Qt::AlignCenter) {
    auto* label = new CStatic(ToQString(text), &page);
    label->setAlignment(alignment);
    label->setGeometry(rect);
    return label;
}

QPushButton* Button(QWidget& page, std::string_view text, const QRect& rect,
                    std::string_view tip = {}) {
    auto* button = new QPushButton(ToQString(text), &page);
    button->setGeometry(rect);
    if (!tip.empty()) {
        button->setToolTip(ToQString(tip));
    }
    return button;
}

CHealthMark* Mark(QWidget& page, std::string_view caption, int centre_x, int top, int size) {
    auto* mark = new CHealthMark(&page);
    mark->SetCaption(ToQString(caption));
    mark->setGeometry(centre_x - size / 2, top, size, size);
    return mark;
}

CReportCtrl* StatusList(QWidget& page) {
    auto* list = new CReportCtrl(6, static_cast<int>(kStatusListWidths.size()), &page);
    for (std::size_t column = 0; column < kStatusListWidths.size(); ++column) {
        list->SetColumnWidth(static_cast<int>(column), kStatusListWidths[column]);
    }
    list->SetAllRowHeights(layout::kStatusListRowHeight);
    list->SetHeaders({kStatusListHeaders.begin(), kStatusListHeaders.end()},
                     layout::kStatusListHeaderHeight);
    GridCells& cells = list->cells();
    for (int row : {kStatusSpRow, kStatusInternalRow}) {
        cells.SetCheckBox(row, kStatusInterfaceMarkColumn, true);
        cells.SetCheckBox(row, kStatusTotalMarkColumn, true);
    }
    cells.SetText(kStatusSpRow, 3, kSpInterfaceLabel);
    cells.SetText(kStatusSpRow, 6, kSlbTotalLabel);
    cells.SetText(kStatusInternalRow, 3, kInternalInterfaceLabel);
    cells.SetText(kStatusInternalRow, 6, kMainTotalLabel);
    list->setGeometry(layout::kStatusListLeft, layout::kStatusListTop,
                      layout::kStatusListRightAlone - layout::kStatusListLeft,
                      layout::kStatusListHeight);
    return list;
}

void BuildStatusSide(QWidget& page, MainPageControls& controls) {
    Group(page, kStatusGroupTitle, layout::kStatusGroup);
    controls.status_list = StatusList(page);
    controls.messages = new QListWidget(&page);
    controls.messages->setGeometry(layout::kMessageWindow);
    controls.messages->hide();
}

void BuildLegendLabels(QWidget& page, const CReportCtrl& grid, MainPageControls& controls) {
    const QPoint cells_origin =
        grid.geometry().topLeft() + QPoint(grid.frameWidth(), grid.frameWidth());
    QFont font = page.font();
    font.setPixelSize(layout::kAntennaRowHeight - 1);
    for (int i = 0; i < kTempColourCount; ++i) {
        const QRect swatch =
            grid.CellRect(kLegendFirstRow + i, kLegendColumn).translated(cells_origin);
        auto* label = new QLabel(&page);
        label->setFont(font);
        label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        label->setGeometry(swatch.right() + 1 + layout::kLegendLabelGap, swatch.top(),
                           layout::kLegendLabelWidth, swatch.height());
        label->hide();
        controls.legend_labels[static_cast<std::size_t>(i)] = label;
    }
}

void BuildAntennaSide(QWidget& page, MainPageControls& controls) {
    controls.antenna_group = Group(page, kViewChoices[2].title, layout::kAntennaGroup);
    const int right = layout::kAntennaGridTopLeft.x() + layout::kAntennaGridWidth;
    for (std::size_t i = 0; i < kViewChoices.size(); ++i) {
        auto* box = new QCheckBox(ToQString(kViewChoices[i].box), &page);
        const int left = right - static_cast<int>(kViewChoices.size() - i) * layout::kViewBoxWidth;
        box->setGeometry(left, layout::kViewBoxTop, layout::kViewBoxWidth, layout::kViewBoxHeight);
        box->setVisible(kViewChoices[i].shown);
        controls.view_boxes[i] = box;
    }
    controls.antenna_grid = new CReportCtrl(layout::kAntennaRows, layout::kAntennaColumns, &page);
    SetUpAntennaGrid(*controls.antenna_grid);
    controls.antenna_grid->setGeometry(
        QRect(layout::kAntennaGridTopLeft, controls.antenna_grid->ContentSize()));
    BuildLegendLabels(page, *controls.antenna_grid, controls);

    Group(page, kAntennaSummaryGroupTitle, layout::kSummaryGroup);
    controls.summary_list = new CReportCtrl(1, 1, &page);
    controls.summary_list->SetColumnWidth(0, layout::kSummaryListCell.width());
    controls.summary_list->SetAllRowHeights(layout::kSummaryListCell.height());
    controls.summary_list->setGeometry(
        QRect(layout::kSummaryListTopLeft, controls.summary_list->ContentSize()));
}

void BuildHealthMarks(QWidget& page, MainPageControls& controls) {
    Group(page, kHealthGroupTitle, layout::kHealthGroup);
    for (std::size_t i = 0; i < kHealthLabels.size(); ++i) {
        const int left =
            layout::kHealthColumnLeft + static_cast<int>(i) * layout::kHealthColumnStep;
        Label(page, kHealthLabels[i],
              QRect(left, layout::kHealthLabelTop, layout::kLabelWidth, layout::kLabelHeight));
        controls.indicators[i] = Mark(page, kHealthLabels[i], left + layout::kLabelWidth / 2,
                                      layout::kHealthMarkTop, layout::kMarkSize);
    }

    Group(page, kExciterGroupTitle, layout::kExciterGroup);
    Group(page, kInputPowerGroupTitle, layout::kInputPowerGroup);
    for (std::size_t i = 0; i < kInputPowerLabels.size(); ++i) {
        const int left = layout::kInputPowerColumns[i];
        Label(page, kInputPowerLabels[i],
              QRect(left, layout::kInputPowerLabelTop, layout::kLabelWidth, layout::kLabelHeight));
        controls.indicators[kHealthLabels.size() + i] =
            Mark(page, kInputPowerLabels[i], left + layout::kLabelWidth / 2,
                 layout::kInputPowerMarkTop, layout::kMarkSize);
    }
}

// Shown and filled, but nothing reacts to it.
void BuildControlMode(QWidget& page, MainPageControls& controls) {
    Group(page, kControlModeGroupTitle, layout::kControlModeGroup);
    Label(page, kEnableLabel, layout::kEnableLabel, Qt::AlignVCenter | Qt::AlignLeft);
    auto* enable = new QComboBox(&page);
    for (std::string_view choice : kEnableChoices) {
        enable->addItem(ToQString(choice));
    }
    enable->setGeometry(layout::kEnableCombo);
    Label(page, kAttenuationLabel, layout::kAttenuationLabel, Qt::AlignVCenter | Qt::AlignLeft);
    auto* attenuation = new QComboBox(&page);
    for (int db = 0; db <= kMaxAttenuationDb; ++db) {
        char text[32];
        std::snprintf(text, sizeof text, "         %.2d", db);
        attenuation->addItem(QString::fromLatin1(text));
    }
    attenuation->setGeometry(layout::kAttenuationCombo);
    controls.control_mode_mark = new CHealthMark(&page);
    controls.control_mode_mark->SetCaption(ToQString(kControlModeGroupTitle));
    controls.control_mode_mark->setGeometry(layout::kControlModeMark);
    Button(page, kConfirmButton, layout::kConfirmButton);
}

void BuildSystemControl(QWidget& page, MainPageControls& controls) {
    Group(page, kSystemGroupTitle, layout::kSystemGroup);
    Group(page, kChassisGroupTitle, layout::kChassisGroup);
    Label(page, kPatternLabel, layout::kPatternLabel, Qt::AlignVCenter | Qt::AlignLeft);
    controls.patterns = new QComboBox(&page);
    controls.patterns->setGeometry(layout::kPatternCombo);
    controls.patterns->setToolTip(ToQString(kPatternTip));
    controls.load = Button(page, kLoadButton, layout::kLoadButton, kLoadTip);
    controls.run = Button(page, "啟用", layout::kRunButton, kRunTip);
    controls.run->setEnabled(false);
    Button(page, kQtrmButton, layout::kQtrmButton)->hide();
    Button(page, kQdxaButton, layout::kQdxaButton)->hide();
    controls.close = Button(page, kCloseButton, layout::kCloseButton);
    controls.minimise = Button(page, kMinimiseButton, layout::kMinimiseButton, kMinimiseTip);

    Label(page, kAntNoLabel, layout::kAntNoLabel)->hide();
    controls.ant_no = new QLineEdit(&page);
    controls.ant_no->setGeometry(layout::kAntNoEdit);
    controls.ant_no->hide();
    controls.set = Button(page, kSetButton, layout::kSetButton);
    controls.set->hide();
}

}  // namespace

MainPageControls BuildMainPageControls(QWidget& page) {
    MainPageControls controls;
    BuildStatusSide(page, controls);
    BuildAntennaSide(page, controls);
    BuildHealthMarks(page, controls);
    BuildControlMode(page, controls);
    BuildSystemControl(page, controls);
    return controls;
}

}  // namespace vantu
