#include "pages/fault_history_page_view.h"

#include <pwd.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <set>

#include "pages/csv_export.h"
#include "pages/trend_chart_window.h"
#include "widgets/steady_text.h"

namespace vantu {
namespace {

constexpr int kRefreshMs = 1000;
constexpr FaultKind kKinds[] = {
    FaultKind::kElement,         FaultKind::kSupply,          FaultKind::kTx,
    FaultKind::kQdxaFlag,        FaultKind::kInterface,       FaultKind::kHealth,
    FaultKind::kOverTemperature, FaultKind::kQdxaTemperature, FaultKind::kDigitalId,
    FaultKind::kInputPower};
struct ShelveTime {
    const char* text;
    std::int64_t seconds;  // 0: out of service until returned
};
constexpr ShelveTime kShelveTimes[] = {
    {"15 分鐘", 15 * 60}, {"1 小時", 3600}, {"8 小時", 8 * 3600}, {"停用 (直到恢復)", 0}};

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FiguresText(const AlarmFigures& f) {
    QString text = QStringLiteral(
                       "近 10 分鐘 : %1 個警報 · 本班 : 每 10 分鐘 %2 個 · 持續 : %3 · "
                       "振盪 : %4 · 擱置 : %5 · 未確認 高/中/低 : %6/%7/%8")
                       .arg(f.last_10_minutes)
                       .arg(f.shift_per_10_minutes, 0, 'f', 1)
                       .arg(f.standing)
                       .arg(f.chattering)
                       .arg(f.shelved)
                       .arg(f.unacknowledged[0])
                       .arg(f.unacknowledged[1])
                       .arg(f.unacknowledged[2]);
    return f.flood ? QStringLiteral("⚠ 警報氾濫 · ") + text : text;
}

}  // namespace

std::string SessionUserName() {
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_name != nullptr) {
        return user->pw_name;
    }
    return std::to_string(::getuid());
}

CFaultHistoryPage::CFaultHistoryPage(ReportWatch& watch, QWidget* parent)
    : QWidget(parent),
      watch_(watch),
      module_(new QSpinBox(this)),
      kind_(new QComboBox(this)),
      priority_(new QComboBox(this)),
      unacknowledged_(new QCheckBox(QStringLiteral("只顯示未確認"), this)),
      figures_(new QLabel(this)),
      rows_(new FaultHistoryPageRows(watch.history(), this)),
      sorted_(new QSortFilterProxyModel(this)),
      table_(new QTableView(this)),
      comment_(new QLineEdit(this)),
      shelve_time_(new QComboBox(this)),
      shelve_reason_(new QLineEdit(this)),
      refresh_(new QTimer(this)) {
    sorted_->setSourceModel(rows_);
    sorted_->setSortRole(FaultHistoryPageRows::kSortRole);
    table_->setModel(sorted_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    // Fixed row heights and column widths: measuring contents would visit every row
    // of a long history on each change. Newest first until a header is clicked.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    SizeColumns();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(BuildFilters());
    layout->addWidget(figures_);
    layout->addWidget(table_);
    layout->addLayout(BuildActions());
    layout->addLayout(BuildShelving());

    auto* trend_key = new QShortcut(QKeySequence(QStringLiteral("Ctrl+T")), this);
    connect(trend_key, &QShortcut::activated, this, [this] { OpenTrend(); });
    connect(refresh_, &QTimer::timeout, this, [this] { SyncFromModel(); });
    SyncFromModel();
}

QLayout* CFaultHistoryPage::BuildFilters() {
    module_->setRange(-1, kModuleCount - 1);
    module_->setSpecialValueText(QStringLiteral("全部"));
    module_->setValue(-1);
    kind_->addItem(QStringLiteral("全部"));
    for (FaultKind kind : kKinds) {
        kind_->addItem(Text(FaultKindText(kind)));
    }
    priority_->addItem(QStringLiteral("全部"));
    for (int p = 0; p < kAlarmPriorityCount; ++p) {
        priority_->addItem(Text(PriorityText(static_cast<AlarmPriority>(p))));
    }
    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("模組"), this));
    filters->addWidget(module_);
    filters->addWidget(new QLabel(QStringLiteral("類別"), this));
    filters->addWidget(kind_);
    filters->addWidget(new QLabel(QStringLiteral("優先"), this));
    filters->addWidget(priority_);
    filters->addWidget(unacknowledged_);
    filters->addStretch();
    auto refilter = [this] { rows_->SetFilter(filter()); };
    connect(module_, &QSpinBox::valueChanged, this, refilter);
    connect(kind_, &QComboBox::currentIndexChanged, this, refilter);
    connect(priority_, &QComboBox::currentIndexChanged, this, refilter);
    connect(unacknowledged_, &QCheckBox::toggled, this, refilter);
    return filters;
}

QLayout* CFaultHistoryPage::BuildActions() {
    auto button = [this](const char* text, auto action) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        connect(b, &QPushButton::clicked, this, action);
        return b;
    };
    comment_->setPlaceholderText(QStringLiteral("確認備註 (可不填)"));
    auto* actions = new QHBoxLayout;
    actions->addWidget(button("確認選取", [this] { AcknowledgeSelected(); }));
    actions->addWidget(comment_, 1);
    actions->addWidget(button("全部確認", [this] { AcknowledgeAll(); }));
    actions->addStretch();
    actions->addWidget(button("溫度趨勢 (Ctrl+T)...", [this] { OpenTrend(); }));
    actions->addWidget(button("匯出 CSV...", [this] {
        ExportCsv(this, FaultViewCsv(watch_.history(), FilterFaults(watch_.history(), filter())));
    }));
    return actions;
}

QLayout* CFaultHistoryPage::BuildShelving() {
    for (const ShelveTime& time : kShelveTimes) {
        shelve_time_->addItem(QString::fromUtf8(time.text));
    }
    shelve_reason_->setPlaceholderText(QStringLiteral("擱置原因"));
    auto button = [this](const char* text, auto action) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        connect(b, &QPushButton::clicked, this, action);
        return b;
    };
    auto* shelving = new QHBoxLayout;
    shelving->addWidget(new QLabel(QStringLiteral("擱置"), this));
    shelving->addWidget(shelve_time_);
    shelving->addWidget(shelve_reason_, 1);
    shelving->addWidget(button("擱置選取", [this] { ShelveSelected(false); }));
    shelving->addWidget(button("擱置所屬模組", [this] { ShelveSelected(true); }));
    shelving->addWidget(button("恢復選取", [this] { UnshelveSelected(); }));
    shelving->addStretch();
    return shelving;
}

FaultFilter CFaultHistoryPage::filter() const {
    FaultFilter filter;
    filter.module = module_->value();
    if (kind_->currentIndex() > 0) {
        filter.kind = kKinds[kind_->currentIndex() - 1];
    }
    if (priority_->currentIndex() > 0) {
        filter.priority = static_cast<AlarmPriority>(priority_->currentIndex() - 1);
    }
    filter.unacknowledged_only = unacknowledged_->isChecked();
    return filter;
}

void CFaultHistoryPage::SyncFromModel() {
    if (rows_->Follow()) {
        table_->viewport()->update();
    }
    ShowFigures();
}

void CFaultHistoryPage::ShowFigures() {
    const AlarmFigures figures = watch_.history().Figures(watch_.Now());
    SetSteadyText(*figures_, FiguresText(figures));
    SetSteadyStyleSheet(
        *figures_, figures.flood ? QStringLiteral("color: white; background: #c00000") : QString());
}

// Wide enough for the texts each column holds, measured once on sample texts.
void CFaultHistoryPage::SizeColumns() {
    const QFontMetrics metrics = table_->fontMetrics();
    for (int column = 0; column + 1 < FaultHistoryPageRows::kColumns; ++column) {
        table_->setColumnWidth(
            column, metrics.horizontalAdvance(FaultHistoryPageRows::SampleText(column)) + 24);
    }
}

std::vector<const FaultEntry*> CFaultHistoryPage::SelectedAlarms() const {
    std::vector<const FaultEntry*> alarms;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        if (const FaultEntry* entry = rows_->EntryAt(sorted_->mapToSource(index).row())) {
            alarms.push_back(entry);
        }
    }
    return alarms;
}

void CFaultHistoryPage::AcknowledgeSelected() {
    std::vector<std::uint64_t> ids;
    for (const FaultEntry* entry : SelectedAlarms()) {
        ids.push_back(entry->id);
    }
    const std::string user = SessionUserName();
    const std::string note = comment_->text().toStdString();
    for (std::uint64_t id : ids) {
        watch_.history().Acknowledge(id, watch_.Now(), user, note);
    }
    comment_->clear();
    SyncFromModel();
}

void CFaultHistoryPage::AcknowledgeAll() {
    watch_.history().AcknowledgeAll(watch_.Now(), SessionUserName());
    SyncFromModel();
}

void CFaultHistoryPage::ShelveSelected(bool whole_modules) {
    std::set<std::size_t> sources;
    for (const FaultEntry* entry : SelectedAlarms()) {
        const std::size_t source = FaultIndex(entry->source);
        if (!whole_modules || entry->source.module < 0) {
            sources.insert(source);
            continue;
        }
        const std::size_t first =
            static_cast<std::size_t>(entry->source.module) * kSourcesPerModule;
        for (std::size_t s = first; s < first + kSourcesPerModule; ++s) {
            sources.insert(s);
        }
    }
    const std::vector<std::size_t> list(sources.begin(), sources.end());
    const ShelveTime& time = kShelveTimes[std::max(0, shelve_time_->currentIndex())];
    watch_.history().Shelve(list, time.seconds, shelve_reason_->text().toStdString(), watch_.Now(),
                            SessionUserName());
    shelve_reason_->clear();
    SyncFromModel();
}

void CFaultHistoryPage::UnshelveSelected() {
    std::vector<std::size_t> sources;
    for (const FaultEntry* entry : SelectedAlarms()) {
        sources.push_back(FaultIndex(entry->source));
    }
    watch_.history().Unshelve(sources, watch_.Now(), SessionUserName());
    SyncFromModel();
}

bool CFaultHistoryPage::ExportTo(const QString& path) const {
    return WriteCsvFile(path,
                        FaultViewCsv(watch_.history(), FilterFaults(watch_.history(), filter())))
        .isEmpty();
}

QWidget* CFaultHistoryPage::OpenTrend() {
    int module = module_->value();
    const std::vector<const FaultEntry*> selected = SelectedAlarms();
    if (!selected.empty()) {
        module = selected.front()->source.module;
    }
    auto* window = new TrendChartWindow(watch_.trend(), module, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

void CFaultHistoryPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    SyncFromModel();
    refresh_->start(kRefreshMs);
}

void CFaultHistoryPage::hideEvent(QHideEvent* event) {
    refresh_->stop();
    QWidget::hideEvent(event);
}

}  // namespace vantu
