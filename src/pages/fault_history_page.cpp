#include "pages/fault_history_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "pages/csv_export.h"
#include "pages/trend_chart_window.h"

namespace vantu {
namespace {

constexpr int kRefreshMs = 1000;
constexpr FaultKind kKinds[] = {FaultKind::kElement,  FaultKind::kSupply,    FaultKind::kTx,
                                FaultKind::kQdxaFlag, FaultKind::kInterface, FaultKind::kHealth};

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CFaultHistoryPage::CFaultHistoryPage(ReportWatch& watch, QWidget* parent)
    : QWidget(parent),
      watch_(watch),
      module_(new QSpinBox(this)),
      kind_(new QComboBox(this)),
      unacknowledged_(new QCheckBox(QStringLiteral("只顯示未確認"), this)),
      rows_(new FaultHistoryModel(watch.history(), this)),
      table_(new QTableView(this)),
      refresh_(new QTimer(this)) {
    module_->setRange(-1, kModuleCount - 1);
    module_->setSpecialValueText(QStringLiteral("全部"));
    module_->setValue(-1);
    kind_->addItem(QStringLiteral("全部"));
    for (FaultKind kind : kKinds) {
        kind_->addItem(Text(FaultKindName(kind)));
    }
    table_->setModel(rows_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    // Fixed row heights and column widths: measuring contents would visit every row
    // of a long history on each change.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(true);
    SizeColumns();

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("模組"), this));
    filters->addWidget(module_);
    filters->addWidget(new QLabel(QStringLiteral("類別"), this));
    filters->addWidget(kind_);
    filters->addWidget(unacknowledged_);
    filters->addStretch();

    auto button = [this](const char* text, auto action) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        connect(b, &QPushButton::clicked, this, action);
        return b;
    };
    auto* actions = new QHBoxLayout;
    actions->addWidget(button("確認選取", [this] { AcknowledgeSelected(); }));
    actions->addWidget(button("全部確認", [this] { AcknowledgeAll(); }));
    actions->addStretch();
    actions->addWidget(button("溫度趨勢 (Ctrl+T)...", [this] { OpenTrend(); }));
    actions->addWidget(button("匯出 CSV...", [this] {
        ExportCsv(this, FaultViewCsv(FilterFaults(watch_.history(), filter())));
    }));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_);
    layout->addLayout(actions);

    auto* trend_key = new QShortcut(QKeySequence(QStringLiteral("Ctrl+T")), this);
    connect(trend_key, &QShortcut::activated, this, [this] { OpenTrend(); });

    auto refilter = [this] { rows_->SetFilter(filter()); };
    connect(module_, &QSpinBox::valueChanged, this, refilter);
    connect(kind_, &QComboBox::currentIndexChanged, this, refilter);
    connect(unacknowledged_, &QCheckBox::toggled, this, refilter);
    connect(refresh_, &QTimer::timeout, this, [this] { SyncFromModel(); });
    SyncFromModel();
}

FaultFilter CFaultHistoryPage::filter() const {
    FaultFilter filter;
    filter.module = module_->value();
    if (kind_->currentIndex() > 0) {
        filter.kind = kKinds[kind_->currentIndex() - 1];
    }
    filter.unacknowledged_only = unacknowledged_->isChecked();
    return filter;
}

void CFaultHistoryPage::SyncFromModel() {
    rows_->Follow();
}

// Wide enough for the texts each column holds, measured once on sample texts.
void CFaultHistoryPage::SizeColumns() {
    const QFontMetrics metrics = table_->fontMetrics();
    const QString samples[FaultHistoryModel::kColumns - 1] = {
        QStringLiteral("2026-12-05 19:46:12 "),
        QStringLiteral("interface "),
        QStringLiteral("模組 "),
        QStringLiteral("Q 0 "),
        QStringLiteral("E 0 "),
        QStringLiteral("QDX-C SP OK "),
        QStringLiteral("✗ 故障 ")};
    for (int column = 0; column < FaultHistoryModel::kColumns - 1; ++column) {
        table_->setColumnWidth(column, metrics.horizontalAdvance(samples[column]) + 16);
    }
}

void CFaultHistoryPage::AcknowledgeSelected() {
    std::vector<std::uint64_t> ids;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        ids.push_back(rows_->IdAt(index.row()));
    }
    for (std::uint64_t id : ids) {
        watch_.history().Acknowledge(id);
    }
    SyncFromModel();
}

void CFaultHistoryPage::AcknowledgeAll() {
    watch_.history().AcknowledgeAll();
    SyncFromModel();
}

bool CFaultHistoryPage::ExportTo(const QString& path) const {
    return WriteCsvFile(path, FaultViewCsv(FilterFaults(watch_.history(), filter()))).isEmpty();
}

QWidget* CFaultHistoryPage::OpenTrend() {
    int module = module_->value();
    const QModelIndexList selected = table_->selectionModel()->selectedRows();
    if (!selected.isEmpty()) {
        if (const FaultEntry* entry = rows_->EntryAt(selected.first().row())) {
            module = entry->source.module;
        }
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
