#include "pages/fault_history_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "pages/csv_export.h"
#include "pages/trend_chart_window.h"

namespace vantu {
namespace {

constexpr int kRefreshMs = 1000;
// A list widget item per cell: past this many rows a redraw every report would stall
// the window. The export still writes the whole view.
constexpr std::size_t kShownRows = 5000;
constexpr int kIdRole = Qt::UserRole;
constexpr int kModuleRole = Qt::UserRole + 1;
constexpr FaultKind kKinds[] = {FaultKind::kElement,  FaultKind::kSupply,    FaultKind::kTx,
                                FaultKind::kQdxaFlag, FaultKind::kInterface, FaultKind::kHealth};

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Number(int value) {
    return value < 0 ? QString() : QString::number(value);
}

QString TimeText(const LocalTime& t) {
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                             t.minute, t.second);
}

}  // namespace

CFaultHistoryPage::CFaultHistoryPage(ReportWatch& watch, QWidget* parent)
    : QWidget(parent),
      watch_(watch),
      module_(new QSpinBox(this)),
      kind_(new QComboBox(this)),
      unacknowledged_(new QCheckBox(QStringLiteral("只顯示未確認"), this)),
      table_(new QTableWidget(0, 8, this)),
      refresh_(new QTimer(this)) {
    module_->setRange(-1, kModuleCount - 1);
    module_->setSpecialValueText(QStringLiteral("全部"));
    module_->setValue(-1);
    kind_->addItem(QStringLiteral("全部"));
    for (FaultKind kind : kKinds) {
        kind_->addItem(Text(FaultKindName(kind)));
    }
    table_->setHorizontalHeaderLabels({QStringLiteral("時間"), QStringLiteral("類別"),
                                       QStringLiteral("模組"), QStringLiteral("Q"),
                                       QStringLiteral("E"), QStringLiteral("項目"),
                                       QStringLiteral("狀態"), QStringLiteral("確認")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);

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

    auto refilter = [this] {
        shown_revision_ = ~std::uint64_t{0};
        SyncFromModel();
    };
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
    if (watch_.history().revision() != shown_revision_) {
        shown_revision_ = watch_.history().revision();
        Rebuild();
    }
}

void CFaultHistoryPage::Rebuild() {
    auto view = FilterFaults(watch_.history(), filter());
    view.resize(std::min(view.size(), kShownRows));
    table_->setRowCount(static_cast<int>(view.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const FaultEntry& e = *view[static_cast<std::size_t>(row)];
        // A glyph beside each state, so the list reads without colour.
        const QString cells[] = {TimeText(e.time),
                                 Text(FaultKindName(e.source.kind)),
                                 Number(e.source.module),
                                 Number(e.source.q),
                                 Number(e.source.element),
                                 Text(FaultItemName(e.source)),
                                 e.appeared ? QStringLiteral("✗ 故障") : QStringLiteral("✓ 恢復"),
                                 e.acknowledged ? QStringLiteral("✓") : QStringLiteral("! 未確認")};
        for (int column = 0; column < 8; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (e.appeared && !e.acknowledged) {
                item->setForeground(Qt::red);
            }
            table_->setItem(row, column, item);
        }
        // Ids, not pointers: the history may drop its oldest entries before the next use.
        table_->item(row, 0)->setData(kIdRole, QVariant::fromValue<qulonglong>(e.id));
        table_->item(row, 0)->setData(kModuleRole, e.source.module);
    }
}

void CFaultHistoryPage::AcknowledgeSelected() {
    std::vector<std::uint64_t> ids;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        ids.push_back(table_->item(index.row(), 0)->data(kIdRole).toULongLong());
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
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (!rows.isEmpty()) {
        module = table_->item(rows.first().row(), 0)->data(kModuleRole).toInt();
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
