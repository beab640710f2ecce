#include "pages/vsa_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantu {
namespace {

std::size_t Index(DialogButton button) {
    return static_cast<std::size_t>(button);
}

}  // namespace

CCVSASETDLG::CCVSASETDLG(TextSender send, QWidget* parent)
    : QDialog(parent), send_(std::move(send)) {
    setWindowTitle(QStringLiteral("89600 軟體參數設定"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildFrequencyGroup());
    layout->addWidget(BuildMarkerGroup());
    ApplySync(true);
}

QWidget* CCVSASETDLG::BuildFrequencyGroup() {
    auto* group = new QGroupBox(QStringLiteral("頻率設定"), this);
    auto* grid = new QGridLayout(group);
    AddRow(*grid, 0, QStringLiteral("Center"), DialogButton::kCenter, false);
    AddRow(*grid, 1, QStringLiteral("SPan"), DialogButton::kSpan, true);
    return group;
}

QWidget* CCVSASETDLG::BuildMarkerGroup() {
    auto* group = new QGroupBox(QStringLiteral("Marker  頻率設定"), this);
    auto* grid = new QGridLayout(group);
    AddRow(*grid, 0, QStringLiteral("Trace A"), DialogButton::kTraceA, false);
    AddRow(*grid, 1, QStringLiteral("Trace B"), DialogButton::kTraceB, false);
    AddRow(*grid, 2, QStringLiteral("Trace C"), DialogButton::kTraceC, false);
    AddRow(*grid, 3, QStringLiteral("Trace D"), DialogButton::kTraceD, false);
    sync_ = new QCheckBox(QStringLiteral("同步設定四組 Marker "), group);
    sync_->setChecked(true);
    grid->addWidget(sync_, 4, 0, 1, 4);
    connect(sync_, &QCheckBox::toggled, this, [this](bool ticked) { ApplySync(ticked); });
    return group;
}

void CCVSASETDLG::AddRow(QGridLayout& grid, int row, const QString& label, DialogButton button,
                         bool span) {
    auto* value = new QLineEdit(grid.parentWidget());
    auto* unit = new QComboBox(grid.parentWidget());
    if (!span) {
        unit->addItem(QStringLiteral("GHz"));
    }
    unit->addItems({QStringLiteral("MHz"), QStringLiteral("KHz"), QStringLiteral("Hz")});
    unit->setCurrentIndex(0);
    auto* set = new QPushButton(QStringLiteral("設定"), grid.parentWidget());
    grid.addWidget(new QLabel(label, grid.parentWidget()), row, 0);
    grid.addWidget(value, row, 1);
    grid.addWidget(unit, row, 2);
    grid.addWidget(set, row, 3);
    values_[Index(button)] = value;
    units_[Index(button)] = unit;
    connect(set, &QPushButton::clicked, this, [this, button] { ClickSet(button); });
}

// Ticked: Trace A's value sets all four markers, so only its box takes input.
void CCVSASETDLG::ApplySync(bool ticked) {
    for (DialogButton button :
         {DialogButton::kTraceB, DialogButton::kTraceC, DialogButton::kTraceD}) {
        values_[Index(button)]->setEnabled(!ticked);
    }
}

void CCVSASETDLG::ClickSet(DialogButton button) {
    const std::string text =
        SettingsDialogText(button, sync_->isChecked(), values_[Index(button)]->text().toStdString(),
                           units_[Index(button)]->currentText().toStdString());
    if (!text.empty() && send_) {
        send_(QString::fromStdString(text));
    }
}

QLineEdit* CCVSASETDLG::value_box(DialogButton button) const {
    return values_[Index(button)];
}

QComboBox* CCVSASETDLG::unit_box(DialogButton button) const {
    return units_[Index(button)];
}

}  // namespace vantu
