#include "pages/main_page_view.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

#include "base/number_text.h"
#include "controller/controller_commands.h"
#include "pages/antenna_grid.h"
#include "pages/main_page_layout.h"
#include "pages/main_page_texts.h"
#include "pattern/main_run_button.h"
#include "widgets/group_box.h"
#include "widgets/health_mark.h"
#include "widgets/qt_colour.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

namespace layout = main_page_layout;

// " TRM 溫度": the view the page starts with.
constexpr std::size_t kStartView = 2;

}  // namespace

CCPAGE2DLG::CCPAGE2DLG(MainPageContext context, QWidget* parent)
    : QWidget(parent), ctx_(std::move(context)) {
    setMinimumSize(layout::kPageSize);
    controls_ = BuildMainPageControls(*this);
    menu_ = BuildMainPageMenu(*this);
    WireControls();
    WireMenu();
    ApplyView(kStartView);
    ctx_.model.messages.set_on_change([this] { show_messages_.Changed(); });
    ShowMessages();
    SyncFromModel();
}

CCPAGE2DLG::~CCPAGE2DLG() {
    ctx_.model.messages.set_on_change(nullptr);
}

void CCPAGE2DLG::WireControls() {
    for (std::size_t i = 0; i < controls_.view_boxes.size(); ++i) {
        // Any toggle of a view box selects its view, as a click on it does: unticking
        // the ticked box ticks it again and refreshes.
        connect(controls_.view_boxes[i], &QCheckBox::toggled, this, [this, i] { SelectView(i); });
    }
    connect(controls_.antenna_grid, &CReportCtrl::cellClicked, this,
            [this](int row, int column) { ClickAntennaCell(row, column); });
    connect(controls_.antenna_grid, &CReportCtrl::cellRightClicked, this,
            [this](int, int, QPoint global_pos) { menu_.menu->popup(global_pos); });
    connect(controls_.antenna_grid, &CReportCtrl::menuKeyPressed, this,
            [this](QPoint global_pos) { menu_.menu->popup(global_pos); });
    connect(controls_.messages, &QListWidget::itemDoubleClicked, this,
            [this] { ctx_.model.messages.Clear(); });
    connect(controls_.patterns, &QComboBox::currentIndexChanged, this,
            [this](int index) { ctx_.model.pattern_selection = index; });
    connect(controls_.load, &QPushButton::clicked, this,
            [this] { ctx_.commands.Post(kCodeRunControl, kArgLoadFromMainPage); });
    connect(controls_.run, &QPushButton::clicked, this, [this] { ClickRunButton(); });
    connect(controls_.close, &QPushButton::clicked, this,
            [this] { ctx_.commands.Post(kCodeRunControl, kArgClose); });
    connect(controls_.minimise, &QPushButton::clicked, this,
            [this] { ctx_.commands.Post(kCodeRunControl, kArgMinimise); });
    connect(controls_.set, &QPushButton::clicked, this, [this] { ClearTypedModule(); });
}

// An empty or non-numeric field would read as module 0 and clear its reports; it sends
// nothing instead.
void CCPAGE2DLG::ClearTypedModule() {
    const QString text = controls_.ant_no->text().trimmed();
    const qsizetype first_digit = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() <= first_digit || !text[first_digit].isDigit()) {
        return;
    }
    const QByteArray bytes = text.toUtf8();
    ctx_.commands.Post(kCodeClearModule,
                       ParseDecimal(std::string_view(bytes.constData(), bytes.size())));
}

void CCPAGE2DLG::WireMenu() {
    CReportCtrl& grid = *controls_.antenna_grid;
    connect(menu_.grid_lines, &QAction::toggled, this, [&grid](bool on) { grid.SetGridLines(on); });
    connect(menu_.ref_lines, &QAction::toggled, this,
            [&grid](bool on) { grid.SetOverlayVisible(on); });
    connect(menu_.ref_colour, &QAction::triggered, this, [this] { ChooseReferenceColour(); });
    connect(menu_.legend_off, &QAction::triggered, this, [this] { SetLegend(false); });
    connect(menu_.legend_on, &QAction::triggered, this, [this] { SetLegend(true); });
    connect(menu_.reset_reports, &QAction::triggered, this,
            [this] { AskAndPost(kResetReportsQuestion, kArgResetReportStates); });
    connect(menu_.reset_control_code, &QAction::triggered, this,
            [this] { AskAndPost(kResetControlCodeQuestion, kArgResetControlCode); });
    connect(menu_.save_reports, &QAction::triggered, this, [this] {
        if (ctx_.save_report_registers) {
            ctx_.save_report_registers();
        }
    });
    connect(menu_.messages_off, &QAction::triggered, this, [this] { SetMessageWindow(false); });
    connect(menu_.messages_on, &QAction::triggered, this, [this] { SetMessageWindow(true); });
}

void CCPAGE2DLG::ApplyView(std::size_t choice) {
    const ViewChoice& view = kViewChoices[choice];
    ctx_.shared.display_mode = view.mode;
    controls_.antenna_group->SetTitle(ToQString(view.title));
    for (std::size_t i = 0; i < controls_.view_boxes.size(); ++i) {
        const QSignalBlocker block(controls_.view_boxes[i]);
        controls_.view_boxes[i]->setChecked(i == choice);
    }
}

void CCPAGE2DLG::SelectView(std::size_t choice) {
    ApplyView(choice);
    ctx_.commands.Post(kCodeRunControl, kArgRefresh);
}

QString CCPAGE2DLG::antenna_title() const {
    return controls_.antenna_group->title();
}

void CCPAGE2DLG::ClickRunButton() {
    ClickMainRunButton(ctx_.model, ctx_.commands);
    controls_.run->setText(ToQString(ctx_.model.run_caption()));
}

void CCPAGE2DLG::SyncFromModel() {
    const MainPageModel& model = ctx_.model;
    controls_.run->setEnabled(model.run_button_enabled);
    controls_.run->setText(ToQString(model.run_caption()));

    QStringList names;
    for (const std::string& name : model.pattern_list) {
        names.push_back(ToQString(name));
    }
    QComboBox& patterns = *controls_.patterns;
    const QSignalBlocker block(patterns);
    QStringList shown;
    for (int i = 0; i < patterns.count(); ++i) {
        shown.push_back(patterns.itemText(i));
    }
    if (shown != names) {
        patterns.clear();
        patterns.addItems(names);
    }
    patterns.setCurrentIndex(model.pattern_selection);

    controls_.antenna_grid->SetOverlayColour(model.ref_line_colour);
}

void CCPAGE2DLG::showEvent(QShowEvent* event) {
    SyncFromModel();
    QWidget::showEvent(event);
}

void CCPAGE2DLG::ChooseReferenceColour() {
    const Colour current = ctx_.model.ref_line_colour;
    const std::optional<Colour> chosen = ctx_.colours.Choose(current);
    if (!chosen || *chosen == current) {
        return;
    }
    ctx_.model.ref_line_colour = *chosen;
    ctx_.shared.ref_line_colour = *chosen;
    controls_.antenna_grid->SetOverlayColour(*chosen);
    ctx_.commands.Post(kCodeRunControl, kArgSaveRefLineColour);
}

void CCPAGE2DLG::SetLegend(bool on) {
    legend_on_ = on;
    GridCells& cells = controls_.antenna_grid->cells();
    if (on) {
        ShowLegend(cells, ctx_.shared);
    } else {
        HideLegend(cells);
    }
    for (std::size_t i = 0; i < controls_.legend_labels.size(); ++i) {
        QLabel& label = *controls_.legend_labels[i];
        label.setText(on ? ToQString(ctx_.shared.temp_colours[i].label) : QString());
        label.setVisible(on);
    }
    menu_.legend_on->setChecked(on);
    menu_.legend_off->setChecked(!on);
}

// The legend cell of entry i edits entry i: the labels are the table's own, and they
// are all empty when setup.ini could not be read.
void CCPAGE2DLG::ClickAntennaCell(int row, int column) {
    const std::optional<int> entry = LegendEntryAt(row, column);
    if (!legend_on_ || !entry) {
        return;
    }
    GridCells& cells = controls_.antenna_grid->cells();
    const Colour current = cells.At(row, column).background;
    const std::optional<Colour> chosen = ctx_.colours.Choose(current);
    if (!chosen || *chosen == current) {
        return;
    }
    cells.SetBackground(row, column, *chosen);
    ctx_.shared.temp_colours[static_cast<std::size_t>(*entry)].colour = *chosen;
    ctx_.commands.Post(kCodeRunControl, kArgSaveTempColours);
}

void CCPAGE2DLG::AskAndPost(std::string_view question, std::intptr_t argument) {
    if (ctx_.prompts.AskYesNo(std::string(question))) {
        ctx_.commands.Post(kCodeRunControl, argument);
    }
}

void CCPAGE2DLG::SetMessageWindow(bool shown) {
    const int right = shown ? layout::kStatusListRightBeside : layout::kStatusListRightAlone;
    QRect list = controls_.status_list->geometry();
    list.setRight(right);
    controls_.status_list->setGeometry(list);
    controls_.messages->setVisible(shown);
    menu_.messages_on->setChecked(shown);
    menu_.messages_off->setChecked(!shown);
}

void CCPAGE2DLG::AddMessage(std::string_view line) {
    ctx_.model.messages.Add(line);
    ctx_.model.messages.Trim();
}

void CCPAGE2DLG::ShowMessages() {
    QListWidget& list = *controls_.messages;
    list.clear();
    for (const std::string& line : ctx_.model.messages.lines()) {
        list.addItem(ToQString(line));
    }
    list.scrollToBottom();
}

CellSink& CCPAGE2DLG::antenna_grid() {
    return controls_.antenna_grid->cells();
}

void CCPAGE2DLG::SetStatusCell(const StatusCell& cell) {
    GridCells& cells = controls_.status_list->cells();
    cells.SetText(cell.row, cell.column, cell.text);
    cells.SetTextColour(cell.row, cell.column, cell.text_colour);
    cells.SetBackground(cell.row, cell.column, cell.background);
    cells.SetTooltip(cell.row, cell.column, cell.tooltip);
}

void CCPAGE2DLG::SetStatusMark(int row, int column, bool set) {
    controls_.status_list->cells().SetChecked(row, column, set);
}

void CCPAGE2DLG::ShowIndicator(HealthIndicator indicator, bool healthy) {
    const auto index = static_cast<std::size_t>(indicator);
    if (index < controls_.indicators.size()) {
        controls_.indicators[index]->SetState(healthy ? MarkState::kHealthy : MarkState::kFaulty);
    }
}

}  // namespace vantu
