#include "pages/analyzer_page_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "widgets/group_box.h"
#include "widgets/qt_colour.h"
#include "widgets/steady_text.h"

namespace vantu {
namespace {

constexpr int kLeftColumnWidth = 560;
constexpr Colour kMarkerBackground = 0xFAFAFA;
constexpr int kTitleMargin = 18;

CGroupBox* Group(const char* title, QWidget* parent) {
    auto* group = new CGroupBox(QString::fromUtf8(title), parent);
    return group;
}

QGridLayout* GridIn(QWidget* group) {
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, kTitleMargin, 8, 8);
    return grid;
}

QPushButton* Button(const char* caption, const char* tooltip, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    if (tooltip != nullptr) {
        button->setToolTip(QString::fromUtf8(tooltip));
    }
    return button;
}

QComboBox* Combo(const QStringList& items, const QString& current, bool editable, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(editable);
    combo->addItems(items);
    combo->setCurrentText(current);
    return combo;
}

void SetText(QComboBox& combo, const std::string& text) {
    const QString value = ToQString(text);
    if (combo.currentText() != value) {
        combo.setCurrentText(value);
    }
}

void SetText(QLineEdit& box, const std::string& text) {
    const QString value = ToQString(text);
    if (box.text() != value) {
        box.setText(value);
    }
}

// The model's state shown without reporting it back as the operator's toggle.
void SetChecked(QAbstractButton& button, bool checked) {
    const QSignalBlocker block(button);
    button.setChecked(checked);
}

}  // namespace

CCPAGE7DLG::CCPAGE7DLG(AnalyzerPageContext context, QWidget* parent)
    : QWidget(parent), ctx_(std::move(context)) {
    auto* left = new QVBoxLayout;
    left->addWidget(BuildGeneratorGroup());
    left->addWidget(BuildAnalyzerGroup());
    left->addWidget(BuildChassisGroup());
    left->addWidget(BuildMessageGroup(), 1);
    auto* left_column = new QWidget(this);
    left_column->setLayout(left);
    left_column->setFixedWidth(kLeftColumnWidth);
    auto* frame_group = Group("VSA 向量信號分析", this);
    frame_ = new QWidget(frame_group);
    auto* frame_layout = new QVBoxLayout(frame_group);
    frame_layout->setContentsMargins(6, kTitleMargin, 6, 6);
    frame_layout->addWidget(frame_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(left_column);
    layout->addWidget(frame_group, 1);

    settings_ = new CCVSASETDLG([this](const QString& text) { ReceiveDialogText(text); }, this);
    WireGenerator();
    WireAnalyzer();
    WireChassis();
    // Every remote command and instrument event lists lines: the page redraws once they
    // have stopped, so no reply waits for the drawing.
    ctx_.model.tcp_messages.set_on_change([this] { redraw_.Changed(); });
    SyncFromModel();
    ShowMessages();
}

CCPAGE7DLG::~CCPAGE7DLG() {
    ctx_.model.tcp_messages.set_on_change(nullptr);
}

QWidget* CCPAGE7DLG::BuildGeneratorGroup() {
    auto* group = Group("VSG 向量信號產生器設定", this);
    QGridLayout* grid = GridIn(group);
    frequency_ = Combo({"1", "2", "3", "4", "5", "6"}, "1", true, group);
    frequency_->setToolTip(QStringLiteral("範圍 1 Mhz ~  6 GHz"));
    power_ = Combo({"-5", "-10", "-20", "-30", "0", "5", "10", "20", "30"}, "-10", true, group);
    power_->setToolTip(QStringLiteral("範圍 -130dBm ~ 20 dBm"));
    pulse_ = Combo({}, {}, false, group);
    for (const char* item : kPulseItems) {
        pulse_->addItem(QString::fromUtf8(item));
    }
    pulse_->setCurrentIndex(1);
    vsg_open_ = Button("開啟", "開啟/關閉 VSG 信號產生器", group);
    vsg_info_ = Button("資訊", "讀取 VSG 已設定訊息", group);
    vsg_info_->setVisible(false);
    vsg_info_->setEnabled(false);
    rf_ = Button("啟用", "啟用/停用 VSG 輻射功能", group);
    rf_->setEnabled(false);
    grid->addWidget(new QLabel(QStringLiteral("頻率 GHz"), group), 0, 0);
    grid->addWidget(frequency_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("功率 dBm"), group), 0, 2);
    grid->addWidget(power_, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("觸發模式"), group), 1, 0);
    grid->addWidget(pulse_, 1, 1);
    grid->addWidget(vsg_open_, 1, 2);
    grid->addWidget(rf_, 1, 3);
    grid->addWidget(vsg_info_, 1, 4);
    return group;
}

QWidget* CCPAGE7DLG::BuildMarkerBoxes(QWidget* parent) {
    auto* boxes = new QWidget(parent);
    auto* grid = new QGridLayout(boxes);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < kMarkerBoxes; ++i) {
        const auto box = static_cast<std::size_t>(i);
        marker_labels_[box] = new QLabel(boxes);
        marker_values_[box] = new QLineEdit(boxes);
        marker_values_[box]->setReadOnly(true);
        grid->addWidget(marker_labels_[box], i / 2, (i % 2) * 2);
        grid->addWidget(marker_values_[box], i / 2, (i % 2) * 2 + 1);
        // "MKR-5" and "MKR-6" are not shown.
        const bool shown = i < 4;
        marker_labels_[box]->setVisible(shown);
        marker_values_[box]->setVisible(shown);
    }
    return boxes;
}

QWidget* CCPAGE7DLG::BuildAnalyzerGroup() {
    auto* group = Group("VSA 向量信號分析儀設定/量測", this);
    QGridLayout* grid = GridIn(group);
    vsa_open_ = Button("開啟", "開啟/顯示 VSA 信號分析儀軟體", group);
    vsa_settings_ = Button("設定", nullptr, group);
    vsa_reset_ = Button("重置", "重置 VSA 軟體設定", group);
    vsa_read_ = Button("讀取", "讀取 VSA 量測值", group);
    vsa_measure_ = Button("量測", "啟用/停用 VSA 觸發量測紀錄功能", group);
    save_log_ = new QCheckBox(QStringLiteral("儲存紀錄量測"), group);
    save_log_->setToolTip(QStringLiteral("核選可儲存記錄 89600 VSA 量測值"));
    pin_window_ = new QCheckBox(QStringLiteral("固定程式視窗"), group);
    pin_window_->setToolTip(QStringLiteral("核選可固定及顯示 89600 VSA 應用程式視窗"));
    trigger_mode_ = new QCheckBox(QStringLiteral("觸發量測模式"), group);
    trigger_mode_->setToolTip(QStringLiteral("核選開啟脈波觸發量測模式"));
    phase_ = new QCheckBox(QStringLiteral("儲存 Phase 補償"), group);
    phase_->setToolTip(QStringLiteral("核選可設定儲存 Phase 補償值"));
    log_file_ = new QLineEdit(group);
    phase_file_ = new QLineEdit(group);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {vsa_open_, vsa_settings_, vsa_reset_, vsa_read_, vsa_measure_}) {
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, 0, 0, 1, 4);
    grid->addWidget(BuildMarkerBoxes(group), 1, 0, 1, 4);
    grid->addWidget(save_log_, 2, 0);
    grid->addWidget(pin_window_, 2, 1);
    grid->addWidget(trigger_mode_, 2, 2);
    grid->addWidget(phase_, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("量測記錄檔"), group), 3, 0);
    grid->addWidget(log_file_, 3, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Phase 補償記錄檔"), group), 4, 0);
    grid->addWidget(phase_file_, 4, 1, 1, 3);
    return group;
}

QWidget* CCPAGE7DLG::BuildChassisGroup() {
    auto* group = Group("PXIe /  QDX 全型機箱控制設定", this);
    QGridLayout* grid = GridIn(group);
    code_file_ = new QComboBox(group);
    code_file_->setEditable(true);
    code_file_->setToolTip(QStringLiteral("sp_seq_test_tx_only.cfg"));
    browse_ = Button("瀏覽", "瀏覽選擇欲使用的控制執行碼檔", group);
    load_ = Button("載入", "載入控制執行碼", group);
    interval_ = Combo({"5", "10", "20", "60"}, "10", false, group);
    run_ = Button("執行", "啟用執行碼控制", group);
    stop_ = Button("停用", "停止執行碼控制", group);
    single_step_ = new QRadioButton(QStringLiteral("單步模式"), group);
    continuous_ = new QRadioButton(QStringLiteral("連續模式"), group);
    grid->addWidget(new QLabel(QStringLiteral("控制執行碼"), group), 0, 0);
    grid->addWidget(code_file_, 0, 1, 1, 2);
    grid->addWidget(browse_, 0, 3);
    grid->addWidget(load_, 0, 4);
    grid->addWidget(single_step_, 1, 0);
    grid->addWidget(continuous_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("間隔時間 (S)"), group), 1, 2);
    grid->addWidget(interval_, 1, 3);
    grid->addWidget(run_, 2, 3);
    grid->addWidget(stop_, 2, 4);
    return group;
}

QWidget* CCPAGE7DLG::BuildMessageGroup() {
    auto* group = Group("訊息視窗 ( 點兩下視窗清除訊息)", this);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, kTitleMargin, 6, 6);
    messages_ = new QListWidget(group);
    layout->addWidget(messages_);
    connect(messages_, &QListWidget::itemDoubleClicked, this,
            [this] { ctx_.model.tcp_messages.Clear(); });
    return group;
}

void CCPAGE7DLG::WireGenerator() {
    GeneratorGroup& boxes = ctx_.instruments.state().generator;
    GeneratorControl& generator = ctx_.instruments.generator();
    connect(frequency_, &QComboBox::currentTextChanged, this,
            [&boxes](const QString& text) { boxes.frequency_text = text.toStdString(); });
    connect(power_, &QComboBox::currentTextChanged, this,
            [&boxes](const QString& text) { boxes.power_text = text.toStdString(); });
    connect(pulse_, &QComboBox::currentIndexChanged, this,
            [&boxes](int index) { boxes.pulse_selection = index; });
    auto act = [this](auto action) {
        return [this, action] {
            action();
            SyncFromModel();
        };
    };
    connect(vsg_open_, &QPushButton::clicked, this,
            act([&generator] { generator.OpenCloseGenerator(1); }));
    connect(rf_, &QPushButton::clicked, this, act([&generator] { generator.SwitchRfOutput(1); }));
    connect(vsg_info_, &QPushButton::clicked, this,
            act([&generator] { generator.ReadGeneratorSettings(); }));
}

void CCPAGE7DLG::WireAnalyzer() {
    AnalyzerControl& analyzer = ctx_.instruments.analyzer();
    auto act = [this](auto action) {
        return [this, action] {
            action();
            SyncFromModel();
        };
    };
    connect(vsa_open_, &QPushButton::clicked, this, act([&analyzer] { analyzer.StartAnalyzer(); }));
    connect(vsa_settings_, &QPushButton::clicked, this, [this] {
        settings_->show();
        settings_->raise();
    });
    connect(vsa_reset_, &QPushButton::clicked, this, act([&analyzer] { analyzer.ClickReset(); }));
    connect(vsa_read_, &QPushButton::clicked, this, act([&analyzer] { analyzer.ClickRead(); }));
    connect(vsa_measure_, &QPushButton::clicked, this,
            act([&analyzer] { analyzer.ClickMeasure(); }));
    // Toggled, not clicked: a screen reader's or a script's Toggle acts as a click does.
    connect(pin_window_, &QCheckBox::toggled, this,
            [this, &analyzer](bool ticked) { analyzer.SetPinWindow(ticked), SyncFromModel(); });
    connect(trigger_mode_, &QCheckBox::toggled, this,
            [this, &analyzer](bool ticked) { analyzer.SetTriggerMode(ticked), SyncFromModel(); });
    connect(save_log_, &QCheckBox::toggled, this,
            [this, &analyzer](bool ticked) { analyzer.SetSaveLog(ticked), SyncFromModel(); });
    connect(phase_, &QCheckBox::toggled, this, [this, &analyzer](bool ticked) {
        analyzer.SetPhaseCompensation(ticked), SyncFromModel();
    });
}

void CCPAGE7DLG::WireChassis() {
    ChassisControls& chassis = ctx_.chassis;
    AnalyzerPageModel::ChassisGroup& group = ctx_.model.chassis;
    connect(code_file_, &QComboBox::currentTextChanged, this,
            [&group](const QString& text) { group.control_code_name = text.toStdString(); });
    connect(interval_, &QComboBox::currentIndexChanged, this,
            [&group](int index) { group.interval_selection = index; });
    connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
    auto act = [this](auto action) {
        return [this, action] {
            action();
            SyncFromModel();
        };
    };
    connect(load_, &QPushButton::clicked, this, act([&chassis] { chassis.ClickLoad(); }));
    connect(run_, &QPushButton::clicked, this, act([&chassis] { chassis.ClickRun(); }));
    connect(stop_, &QPushButton::clicked, this, act([&chassis] { chassis.ClickStop(); }));
    const auto when_on = [](auto action) {
        return [action](bool on) {
            if (on) {
                action();
            }
        };
    };
    connect(single_step_, &QRadioButton::toggled, this,
            when_on(act([&chassis] { chassis.ClickSingleStep(); })));
    connect(continuous_, &QRadioButton::toggled, this,
            when_on(act([&chassis] { chassis.ClickContinuous(); })));
}

// The platform's file-open dialog: the pattern folder, payload files first.
void CCPAGE7DLG::Browse() {
    QFileDialog dialog(this);
    dialog.setDirectory(ToQString(ctx_.station_dir + "/SP Pattern"));
    dialog.setNameFilters(
        {QStringLiteral("Payload Files (*.cfg)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("Text"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        ctx_.chassis.ChooseBrowsedFile(dialog.selectedFiles().front().toStdString());
    }
    SyncFromModel();
}

void CCPAGE7DLG::ReceiveDialogText(const QString& text) {
    ctx_.instruments.text().Interpret(text.toStdString());
    SyncFromModel();
}

void CCPAGE7DLG::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CCPAGE7DLG::ShowMessages() {
    const auto& lines = ctx_.model.tcp_messages.lines();
    if (lines.size() < static_cast<std::size_t>(messages_->count())) {
        messages_->clear();
    }
    for (auto i = static_cast<std::size_t>(messages_->count()); i < lines.size(); ++i) {
        messages_->addItem(ToQString(lines[i]));
    }
    if (messages_->count() > 0) {
        messages_->setCurrentRow(messages_->count() - 1);
        messages_->scrollToBottom();
    }
}

void CCPAGE7DLG::SyncFromModel() {
    SyncGenerator();
    SyncAnalyzer();
    SyncChassis();
}

void CCPAGE7DLG::SyncGenerator() {
    const GeneratorGroup& boxes = ctx_.instruments.state().generator;
    SetText(*frequency_, boxes.frequency_text);
    SetText(*power_, boxes.power_text);
    pulse_->setCurrentIndex(boxes.pulse_selection);
    vsg_open_->setText(ToQString(boxes.open_caption));
    vsg_open_->setEnabled(boxes.open_enabled);
    rf_->setText(ToQString(boxes.rf_caption));
    rf_->setEnabled(boxes.rf_enabled);
}

void CCPAGE7DLG::SyncAnalyzer() {
    const AnalyzerGroup& group = ctx_.instruments.state().analyzer;
    vsa_open_->setText(ToQString(group.open_caption));
    vsa_open_->setEnabled(group.open_enabled);
    vsa_reset_->setEnabled(group.reset_enabled);
    vsa_measure_->setText(ToQString(group.measure_caption));
    vsa_measure_->setVisible(group.trigger_mode);
    vsa_read_->setVisible(!group.trigger_mode);
    for (std::size_t box = 0; box < kMarkerBoxes; ++box) {
        QLineEdit& value = *marker_values_[box];
        SetText(value, group.marker_values[box]);
        SetSteadyStyleSheet(value, QStringLiteral("background: %1; color: %2")
                                       .arg(ToQColor(kMarkerBackground).name(),
                                            ToQColor(group.marker_colours[box]).name()));
        marker_labels_[box]->setText(ToQString(group.marker_labels[box]));
    }
    SetChecked(*save_log_, group.save_log);
    SetChecked(*pin_window_, group.pin_window);
    SetChecked(*trigger_mode_, group.trigger_mode);
    SetChecked(*phase_, group.phase_compensation);
    SetText(*log_file_, group.log_file);
    SetText(*phase_file_, group.phase_file);
}

void CCPAGE7DLG::SyncChassis() {
    AnalyzerPageModel::ChassisGroup& group = ctx_.model.chassis;
    if (code_file_->count() == 0) {
        for (const std::string& name : ctx_.main_page.pattern_list) {
            code_file_->addItem(ToQString(name));
        }
    }
    SetText(*code_file_, group.control_code_name);
    if (!group.control_code_tooltip.empty()) {
        code_file_->setToolTip(ToQString(group.control_code_tooltip));
    }
    load_->setEnabled(group.load_button_enabled);
    interval_->setCurrentIndex(group.interval_selection);
    interval_->setEnabled(group.interval_list_enabled);
    run_->setText(ToQString(group.run_caption()));
    run_->setEnabled(group.run_button_enabled);
    stop_->setEnabled(group.stop_button_enabled);
    SetChecked(*single_step_, group.single_step);
    SetChecked(*continuous_, !group.single_step);
}

}  // namespace vantu
