#include "pages/firmware_page_view.h"

#include <QBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

#include <array>
#include <string>
#include <vector>

#include "controller/controller_commands.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

constexpr int kReadButtonId = 1136;
constexpr int kHeaderHeight = 24;
constexpr int kRowHeight = 22;
constexpr std::array<int, kUnitColumns> kUnitWidths = {25, 50, 100, 132, 25, 100, 132};
constexpr const char* kReadCaption = "讀取 QDX-A 韌體版本";

std::vector<std::string> ModuleHeaders() {
    std::vector<std::string> headers = {"", "編號"};
    for (int q = 0; q < 8; ++q) {
        headers.push_back("Q" + std::to_string(q));
        if (q < 7) {
            headers.emplace_back();
        }
    }
    return headers;
}

// Blank 25 px columns beside "編號" (60 px) and between the 95 px Q columns.
int ModuleColumnWidth(int column) {
    if (column == 1) {
        return 60;
    }
    return column >= 2 && column % 2 == 0 ? 95 : 25;
}

template <std::size_t Columns>
void Draw(CReportCtrl& list, const auto& rows) {
    GridCells& cells = list.cells();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < Columns; ++column) {
            const FirmwareCell& cell = rows[row][column];
            const int r = static_cast<int>(row);
            const int c = static_cast<int>(column);
            cells.SetBackground(r, c, cell.background);
            cells.SetTextColour(r, c, cell.text_colour);
            cells.SetText(r, c, cell.text);
            cells.SetMark(r, c, cell.mark);
        }
    }
}

}  // namespace

CCPAGE6DLG::CCPAGE6DLG(FirmwarePageModel& model, CommandSink& commands, QWidget* parent)
    : QWidget(parent),
      model_(model),
      commands_(commands),
      unit_list_(new CReportCtrl(kUnitRows, kUnitColumns, this)),
      module_list_(new CReportCtrl(kModuleCount, kModuleListColumns, this)),
      read_button_(new QPushButton(QString::fromUtf8(kReadCaption), this)),
      progress_(new QProgressBar(this)),
      warning_(new QLabel(this)),
      spin_(new QSpinBox(this)) {
    for (int column = 0; column < kUnitColumns; ++column) {
        unit_list_->SetColumnWidth(column, kUnitWidths[static_cast<std::size_t>(column)]);
    }
    unit_list_->SetHeaders({"", "編號", "名稱", "版本", "", "名稱", "版本"}, kHeaderHeight);
    unit_list_->SetAllRowHeights(kRowHeight);
    unit_list_->setFixedSize(unit_list_->ContentSize() + QSize(4, 4));

    for (int column = 0; column < kModuleListColumns; ++column) {
        module_list_->SetColumnWidth(column, ModuleColumnWidth(column));
    }
    module_list_->SetHeaders(ModuleHeaders(), kHeaderHeight);
    module_list_->SetAllRowHeights(kRowHeight);
    module_list_->setFixedWidth(module_list_->ContentSize().width() + 24);

    read_button_->setProperty("control_id", kReadButtonId);
    progress_->setRange(0, 100);
    progress_->setVisible(false);
    spin_->setRange(0, 1000);
    spin_->setValue(500);
    spin_->setFixedWidth(70);

    auto* actions = new QVBoxLayout;
    actions->addWidget(read_button_);
    actions->addWidget(progress_);
    actions->addWidget(warning_);
    actions->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(unit_list_);
    top->addLayout(actions);
    top->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(module_list_);
    bottom->addWidget(spin_, 0, Qt::AlignTop);
    bottom->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom, 1);

    connect(read_button_, &QPushButton::clicked, this, [this] { OnRead(); });
    connect(spin_, &QSpinBox::valueChanged, this, [this](int position) { OnSpin(position); });
    SyncFromModel();
}

void CCPAGE6DLG::OnRead() {
    commands_.Post(kCodeFirmware, kArgReadFirmware);
    ClearModuleList(model_);
    SyncFromModel();
}

void CCPAGE6DLG::OnSpin(int position) {
    const int row = spin_steps_.Scroll(position);
    module_list_->verticalScrollBar()->setValue(module_list_->CellRect(row, 0).top());
}

void CCPAGE6DLG::SyncFromModel() {
    Draw<kUnitColumns>(*unit_list_, model_.units);
    Draw<kModuleListColumns>(*module_list_, model_.modules);
    read_button_->setEnabled(model_.read_enabled);
    progress_->setVisible(model_.reading);
    warning_->setText(QString::fromStdString(model_.warning));
    const std::size_t total = model_.progress_total == 0 ? 1 : model_.progress_total;
    progress_->setValue(
        static_cast<int>(std::min<std::size_t>(100, 100 * model_.progress / total)));
}

}  // namespace vantu
