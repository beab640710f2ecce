#include "pages/fault_history_page_rows.h"

#include <QColor>

#include <algorithm>
#include <array>
#include <optional>

namespace vantu {
namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Number(int value) {
    return value < 0 ? QString() : QString::number(value);
}

QString TimeText(const std::optional<LocalTime>& t) {
    if (!t) {
        return {};
    }
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour,
                             t->minute, t->second);
}

// A glyph, the word and (in ForegroundRole) a colour: the priority reads without colour.
QString PriorityCell(AlarmPriority priority) {
    constexpr const char* kGlyphs[] = {"▲▲▲ ", "▲▲ ", "▲ "};
    return QString::fromUtf8(kGlyphs[static_cast<std::size_t>(priority)]) +
           Text(PriorityText(priority));
}

QColor PriorityColour(AlarmPriority priority) {
    switch (priority) {
        case AlarmPriority::kHigh:
            return QColor(200, 0, 0);
        case AlarmPriority::kMedium:
            return QColor(190, 110, 0);
        case AlarmPriority::kLow:
            break;
    }
    return QColor(0, 90, 170);
}

QString StateCell(const FaultHistory& history, const FaultEntry& e) {
    QString text = Text(AlarmStateText(history.StateOf(e)));
    if (e.chatter > 0) {
        text += QStringLiteral(" (振盪 %1 次)").arg(e.chatter + 1);
    }
    return text;
}

}  // namespace

FaultHistoryPageRows::FaultHistoryPageRows(const FaultHistory& history, QObject* parent)
    : QAbstractTableModel(parent), history_(history) {
    Rebuild();
}

int FaultHistoryPageRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

int FaultHistoryPageRows::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

const FaultEntry* FaultHistoryPageRows::EntryAt(int row) const {
    return row >= 0 && row < rowCount() ? history_.Find(IdAt(row)) : nullptr;
}

QVariant FaultHistoryPageRows::data(const QModelIndex& index, int role) const {
    const FaultEntry* e = EntryAt(index.row());
    if (e == nullptr) {
        return {};
    }
    const AlarmPriority priority = PriorityOf(e->source);
    if (role == kSortRole) {
        return index.column() == kPriority ? QVariant(static_cast<int>(priority))
                                           : data(index, Qt::DisplayRole);
    }
    if (role == Qt::ForegroundRole) {
        if (index.column() == kPriority) {
            return PriorityColour(priority);
        }
        return history_.StateOf(*e) == AlarmState::kActiveUnacknowledged ? QVariant(QColor(Qt::red))
                                                                         : QVariant();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case kRaised:
            return TimeText(e->time);
        case kCleared:
            return TimeText(e->cleared);
        case kPriority:
            return PriorityCell(priority);
        case kKind:
            return Text(FaultKindText(e->source.kind));
        case kModule:
            return Number(e->source.module);
        case kQ:
            return Number(e->source.q);
        case kE:
            return Number(e->source.element);
        case kItem:
            return Text(FaultItemText(e->source));
        case kState:
            return StateCell(history_, *e);
        case kAcknowledged:
            return TimeText(e->acknowledged);
        case kAcknowledgedBy:
            return QString::fromStdString(e->acknowledged_by);
        default:
            return QString::fromStdString(e->comment);
    }
}

QString FaultHistoryPageRows::SampleText(int column) {
    switch (column) {
        case kRaised:
        case kCleared:
        case kAcknowledged:
            return QStringLiteral("2026-12-05 19:46:12");
        case kPriority:
            return QStringLiteral("▲▲▲ 高");
        case kKind:
            return QStringLiteral("QDX-A 過溫");
        case kModule:
        case kQ:
        case kE:
            return QStringLiteral("模組");
        case kItem:
            return QStringLiteral("內部介面");
        case kState:
            return QStringLiteral("! 已恢復 未確認 (振盪 99 次)");
        default:
            return QStringLiteral("operator");
    }
}

QVariant FaultHistoryPageRows::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    static const std::array<QString, kColumns> titles = {
        QStringLiteral("發生時間"), QStringLiteral("恢復時間"), QStringLiteral("優先"),
        QStringLiteral("類別"),     QStringLiteral("模組"),     QStringLiteral("Q"),
        QStringLiteral("E"),        QStringLiteral("項目"),     QStringLiteral("狀態"),
        QStringLiteral("確認時間"), QStringLiteral("確認者"),   QStringLiteral("備註")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kColumns) {
        return titles[static_cast<std::size_t>(section)];
    }
    return {};
}

void FaultHistoryPageRows::SetFilter(const FaultFilter& filter) {
    filter_ = filter;
    beginResetModel();
    Rebuild();
    endResetModel();
}

void FaultHistoryPageRows::Rebuild() {
    ids_.clear();
    for (const FaultEntry* entry : FilterFaults(history_, filter_)) {
        ids_.push_back(entry->id);
    }
    const auto& entries = history_.entries();
    newest_seen_ = entries.empty() ? newest_seen_ : entries.back().id;
    revision_seen_ = history_.revision();
}

bool FaultHistoryPageRows::Follow() {
    if (history_.revision() == revision_seen_) {
        return false;
    }
    revision_seen_ = history_.revision();
    DropEvicted();
    InsertNew();
    if (filter_.unacknowledged_only) {
        RemoveAcknowledged();
    }
    return true;
}

// The history drops its oldest entries first: they are the bottom rows.
void FaultHistoryPageRows::DropEvicted() {
    const auto& entries = history_.entries();
    const std::uint64_t oldest = entries.empty() ? newest_seen_ + 1 : entries.front().id;
    const auto kept = std::find_if(ids_.rbegin(), ids_.rend(),
                                   [oldest](std::uint64_t id) { return id >= oldest; });
    const int first_dropped = static_cast<int>(ids_.rend() - kept);
    if (first_dropped < rowCount()) {
        beginRemoveRows({}, first_dropped, rowCount() - 1);
        ids_.resize(static_cast<std::size_t>(first_dropped));
        endRemoveRows();
    }
}

void FaultHistoryPageRows::InsertNew() {
    std::vector<std::uint64_t> added;
    const auto& entries = history_.entries();
    for (auto it = entries.rbegin(); it != entries.rend() && it->id > newest_seen_; ++it) {
        if (Matches(*it, filter_)) {
            added.push_back(it->id);
        }
    }
    if (!entries.empty()) {
        newest_seen_ = std::max(newest_seen_, entries.back().id);
    }
    if (added.empty()) {
        return;
    }
    beginInsertRows({}, 0, static_cast<int>(added.size()) - 1);
    ids_.insert(ids_.begin(), added.begin(), added.end());
    endInsertRows();
}

// Acknowledged rows leave a view of unacknowledged alarms, bottom run first so the rows
// above keep their numbers.
void FaultHistoryPageRows::RemoveAcknowledged() {
    const auto gone = [this](int row) {
        const FaultEntry* entry = EntryAt(row);
        return entry == nullptr || entry->acknowledged.has_value();
    };
    for (int last = rowCount() - 1; last >= 0; --last) {
        if (!gone(last)) {
            continue;
        }
        int first = last;
        while (first > 0 && gone(first - 1)) {
            --first;
        }
        beginRemoveRows({}, first, last);
        ids_.erase(ids_.begin() + first, ids_.begin() + last + 1);
        endRemoveRows();
        last = first;
    }
}

}  // namespace vantu
