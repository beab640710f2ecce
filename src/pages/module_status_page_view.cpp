#include "pages/module_status_page_view.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "widgets/group_box.h"
#include "widgets/qt_colour.h"
#include "widgets/report_ctrl.h"
#include "widgets/static_text.h"

namespace vantu {
namespace {

// Pixel geometry scaled from the pages' 821 x 397 dialog layout to the main window.
constexpr QSize kPageSize(1880, 932);
constexpr QRect kTreeGroup(8, 4, 220, 924);
constexpr QRect kGridGroup(236, 4, 836, 924);
constexpr int kGridRowHeight = 25;
constexpr std::array<int, 2> kGridLeadWidths = {25, 53};
constexpr int kGridQWidth = 80;
constexpr QRect kViewGroup(1080, 4, 792, 236);
constexpr int kViewButtonLeft = 1100;
constexpr int kViewButtonTop = 34;
constexpr int kViewButtonStep = 46;
constexpr int kWordLabelLeft = 1330;
constexpr int kWordValueLeft = 1640;
constexpr int kWordTop = 40;
constexpr int kWordStep = 46;
constexpr QRect kPositionGroup(1080, 248, 792, 680);
constexpr QPoint kPositionGridTopLeft(1104, 280);
constexpr int kPositionCellWidth = 49;
constexpr int kPositionCellHeight = 36;
constexpr int kFaceBoxTop = 860;
constexpr Colour kTotalText = Rgb(250, 250, 250);
constexpr Colour kTotalBackground = Rgb(120, 120, 120);

constexpr std::string_view kSpLabel = "QDX-C 與 SP 介面 狀態 :";
constexpr std::string_view kInternalLabel = "天線內部裝備介面狀態 :";

CStatic* Label(QWidget& page, std::string_view text, const QRect& rect) {
    auto* label = new CStatic(ToQString(text), &page);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    label->setGeometry(rect);
    return label;
}

CStatic* Value(QWidget& page, const QRect& rect) {
    auto* value = new CStatic({}, &page);
    value->setAlignment(Qt::AlignCenter);
    value->setGeometry(rect);
    value->SetTextColour(kTotalText);
    value->SetBackground(kTotalBackground);
    return value;
}

CReportCtrl* PositionGrid(QWidget& page) {
    auto* grid = new CReportCtrl(kPositionGridSize, kPositionGridSize, &page);
    for (int column = 0; column < kPositionGridSize; ++column) {
        grid->SetColumnWidth(column, kPositionCellWidth);
    }
    grid->SetAllRowHeights(kPositionCellHeight);
    grid->setGeometry(QRect(kPositionGridTopLeft, grid->ContentSize()));
    return grid;
}

}  // namespace

CModuleStatusPage::CModuleStatusPage(ModuleStatusPage& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setMinimumSize(kPageSize);
    BuildLeft();
    BuildCentre();
    BuildViewGroup();
    BuildPositionGroup();
    BuildHiddenBoxes();
    model_.set_surface(this);
    SyncFromModel();
}

void CModuleStatusPage::Act(const std::function<void()>& action) {
    action();
    SyncFromModel();
}

void CModuleStatusPage::BuildLeft() {
    (new CGroupBox(QStringLiteral("選擇 天線模組"), this))->setGeometry(kTreeGroup);
    tree_ = new QTreeWidget(this);
    tree_->setHeaderHidden(true);
    tree_->setGeometry(kTreeGroup.adjusted(10, 26, -10, -10));
    for (const TreeNode& node : ModuleTreeNodes()) {
        auto* top = new QTreeWidgetItem(tree_, {ToQString(node.label)});
        top->setData(0, Qt::UserRole, -1);
        for (int module : node.modules) {
            if (module >= 0) {
                auto* child = new QTreeWidgetItem(top, {QString::fromUtf8(ModuleLabel(module))});
                child->setData(0, Qt::UserRole, module);
            }
        }
    }
    tree_->topLevelItem(0)->setExpanded(true);
    // The current item, however it moved (mouse, arrow keys, a screen reader).
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item == nullptr) {
            return;
        }
        QTreeWidgetItem* top = item->parent() != nullptr ? item->parent() : item;
        const TreeNode& node =
            ModuleTreeNodes()[static_cast<std::size_t>(tree_->indexOfTopLevelItem(top))];
        const int module = item->data(0, Qt::UserRole).toInt();
        Act([&] { model_.ShowColumnHalf(node.column, node.lower, module); });
    });
}

void CModuleStatusPage::BuildCentre() {
    grid_group_ = new CGroupBox({}, this);
    grid_group_->setGeometry(kGridGroup);
    grid_ = new CReportCtrl(kModuleGridRows, kModuleGridColumns, this);
    grid_->SetColumnWidth(0, kGridLeadWidths[0]);
    grid_->SetColumnWidth(1, kGridLeadWidths[1]);
    for (int q = 0; q < kQChannels; ++q) {
        grid_->SetColumnWidth(kModuleGridFirstQColumn + q, kGridQWidth);
    }
    grid_->SetAllRowHeights(kGridRowHeight);
    for (int slot = 0; slot < kMaxHalfModules; ++slot) {
        grid_->cells().SetCheckBox(slot * kModuleGridSlotRows, 0, true);
    }
    grid_->setGeometry(QRect(kGridGroup.topLeft() + QPoint(10, 30), grid_->ContentSize()));
}

void CModuleStatusPage::BuildViewGroup() {
    (new CGroupBox(QStringLiteral("選擇狀態回報模式"), this))->setGeometry(kViewGroup);
    const auto views = ModulePageViews(model_.kind());
    auto* group = new QButtonGroup(this);
    for (std::size_t i = 0; i < views.size(); ++i) {
        auto* button = new QRadioButton(ToQString(views[i].radio), this);
        button->setGeometry(kViewButtonLeft, kViewButtonTop + static_cast<int>(i) * kViewButtonStep,
                            210, 30);
        group->addButton(button);
        view_buttons_.push_back(button);
        connect(button, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                Act([&] { model_.ChooseView(i); });
            }
        });
    }
    const auto row = [](int i) { return kWordTop + i * kWordStep; };
    Label(*this, kSpLabel, QRect(kWordLabelLeft, row(0), 300, 30));
    Label(*this, kInternalLabel, QRect(kWordLabelLeft, row(1), 300, 30));
    slb_label_ = Label(*this, {}, QRect(kWordLabelLeft, row(2), 300, 30));
    main_label_ = Label(*this, {}, QRect(kWordLabelLeft, row(3), 300, 30));
    sp_value_ = Value(*this, QRect(kWordValueLeft, row(0), 200, 30));
    internal_value_ = Value(*this, QRect(kWordValueLeft, row(1), 200, 30));
    slb_value_ = Value(*this, QRect(kWordValueLeft, row(2), 200, 30));
    main_value_ = Value(*this, QRect(kWordValueLeft, row(3), 200, 30));
}

void CModuleStatusPage::BuildPositionGroup() {
    position_group_ = new CGroupBox({}, this);
    position_group_->setGeometry(kPositionGroup);
    position_ = PositionGrid(*this);
    status_ = PositionGrid(*this);
    for (CReportCtrl* face : {position_, status_}) {
        connect(face, &CReportCtrl::cellClicked, this,
                [this](int row, int column) { Act([&] { model_.ClickPosition(row, column); }); });
    }
    status_menu_ = new QMenu(this);
    QAction* clear = status_menu_->addAction(QStringLiteral("清除狀態訊息"));
    connect(clear, &QAction::triggered, this, [this] { Act([&] { model_.ClearStatusFace(); }); });
    connect(status_, &CReportCtrl::cellRightClicked, this,
            [this](int, int, QPoint global_pos) { status_menu_->popup(global_pos); });

    const int left = kPositionGridTopLeft.x();
    position_box_ = new QCheckBox(QStringLiteral("位置"), this);
    position_box_->setGeometry(left, kFaceBoxTop, 100, 30);
    status_box_ = new QCheckBox(QStringLiteral("狀態"), this);
    status_box_->setGeometry(left + 120, kFaceBoxTop, 100, 30);
    auto* faces = new QButtonGroup(this);
    faces->addButton(position_box_);
    faces->addButton(status_box_);
    refresh_all_ = new QCheckBox(QStringLiteral("更新全部狀態"), this);
    refresh_all_->setGeometry(left + 260, kFaceBoxTop, 200, 30);
    // Boxes and buttons follow toggled, not clicked, so a screen reader's or a script's
    // Toggle action acts as a click does; SyncFromModel sets them with signals blocked.
    connect(position_box_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            Act([&] { model_.ShowFace(PositionFace::kPosition); });
        }
    });
    connect(status_box_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            Act([&] { model_.ShowFace(PositionFace::kStatus); });
        }
    });
    connect(refresh_all_, &QCheckBox::toggled, this, [this] {
        const QSignalBlocker block(refresh_all_);
        refresh_all_->setChecked(true);
        Act([&] { model_.AskRefreshAll(); });
    });
}

// Bars and numbers are switched by check boxes that the page keeps hidden.
void CModuleStatusPage::BuildHiddenBoxes() {
    const std::array<std::pair<const char*, void (ModuleStatusPage::*)()>, 3> boxes = {{
        {" 百分比", &ModuleStatusPage::ShowBars},
        {" 數值", &ModuleStatusPage::ShowNumbers},
        {" 狀態", &ModuleStatusPage::ShowStatusWords},
    }};
    for (const auto& [text, action] : boxes) {
        auto* box = new QCheckBox(QString::fromUtf8(text), this);
        box->hide();
        connect(box, &QCheckBox::toggled, this,
                [this, action] { Act([&] { (model_.*action)(); }); });
    }
}

void CModuleStatusPage::SyncFromModel() {
    std::vector<QSignalBlocker> blocked;
    blocked.reserve(view_buttons_.size() + 4);
    for (QObject* control :
         {static_cast<QObject*>(position_box_), static_cast<QObject*>(status_box_),
          static_cast<QObject*>(refresh_all_), static_cast<QObject*>(tree_)}) {
        blocked.emplace_back(control);
    }
    for (QRadioButton* button : view_buttons_) {
        blocked.emplace_back(button);
    }
    grid_group_->SetTitle(ToQString(model_.grid_title()));
    position_group_->SetTitle(ToQString(model_.position_title()));
    const bool started = !model_.grid_title().empty();
    for (std::size_t i = 0; i < view_buttons_.size(); ++i) {
        if (i == model_.view_choice() && started) {
            view_buttons_[i]->setChecked(true);
        }
    }
    slb_label_->setText(ToQString(model_.slb_label()));
    main_label_->setText(ToQString(model_.main_label()));
    const auto word = [](CStatic& field, const ModuleStatusPage::WordField& value) {
        field.setText(ToQString(value.text));
        field.SetBackground(value.background);
    };
    word(*sp_value_, model_.sp_interface());
    word(*internal_value_, model_.internal_interface());
    slb_value_->setText(ToQString(model_.slb_total()));
    main_value_->setText(ToQString(model_.main_total()));

    ShowSelectionInTree();

    const bool status = model_.face() == PositionFace::kStatus;
    position_->setVisible(!status);
    status_->setVisible(status);
    position_box_->setChecked(!status);
    status_box_->setChecked(status);
    refresh_all_->setVisible(status);
    refresh_all_->setEnabled(status);
    refresh_all_->setChecked(model_.refreshing_all());
}

// The half shown, or its highlighted module, is the tree's current item. A refresh of
// all halves passes through every half and leaves the tree as the operator had it.
void CModuleStatusPage::ShowSelectionInTree() {
    if (model_.refreshing_all()) {
        return;
    }
    QTreeWidgetItem* node = tree_->topLevelItem(2 * model_.column() + (model_.lower() ? 1 : 0));
    if (node == nullptr) {
        return;
    }
    QTreeWidgetItem* current = node;
    for (int i = 0; i < node->childCount(); ++i) {
        if (node->child(i)->data(0, Qt::UserRole).toInt() == model_.module()) {
            current = node->child(i);
        }
    }
    if (tree_->currentItem() != current) {
        node->setExpanded(true);
        tree_->setCurrentItem(current);
    }
}

CellSink& CModuleStatusPage::module_grid() {
    return grid_->cells();
}

CellSink& CModuleStatusPage::position_face() {
    return position_->cells();
}

CellSink& CModuleStatusPage::status_face() {
    return status_->cells();
}

void CModuleStatusPage::SetBarDisplay(bool on) {
    grid_->SetBarDisplay(on);
}

void CModuleStatusPage::UncheckRow(int row) {
    grid_->cells().SetChecked(row, 0, false);
}

QString CModuleStatusPage::grid_title() const {
    return grid_group_->title();
}

QString CModuleStatusPage::position_title() const {
    return position_group_->title();
}

}  // namespace vantu
