#include "pages/fault_history_model.h"

#include <QColor>

#include <algorithm>
#include <array>

namespace vantu {
namespace {

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

QString CellText(const FaultEntry& e, int column) {
    switch (column) {
        case 0:
            return TimeText(e.time);
        case 1:
            return Text(FaultKindName(e.source.kind));
        case 2:
            return Number(e.source.module);
        case 3:
            return Number(e.source.q);
        case 4:
            return Number(e.source.element);
        case 5:
            return Text(FaultItemName(e.source));
        case 6:
            // A glyph beside each state, so the list reads without colour.
            return e.appeared ? QStringLiteral("✗ 故障") : QStringLiteral("✓ 恢復");
        default:
            return e.acknowledged ? QStringLiteral("✓") : QStringLiteral("! 未確認");
    }
}

}  // namespace

FaultHistoryModel::FaultHistoryModel(const FaultHistory& history, QObject* parent)
    : QAbstractTableModel(parent), history_(history) {
    Rebuild();
}

int FaultHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

int FaultHistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

const FaultEntry* FaultHistoryModel::EntryAt(int row) const {
    return row >= 0 && row < rowCount() ? history_.Find(IdAt(row)) : nullptr;
}

QVariant FaultHistoryModel::data(const QModelIndex& index, int role) const {
    const FaultEntry* entry = EntryAt(index.row());
    if (entry == nullptr) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return CellText(*entry, index.column());
    }
    if (role == Qt::ForegroundRole && entry->appeared && !entry->acknowledged) {
        return QColor(Qt::red);
    }
    return {};
}

QVariant FaultHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const std::array<QString, kColumns> titles = {
        QStringLiteral("時間"), QStringLiteral("類別"), QStringLiteral("模組"),
        QStringLiteral("Q"),    QStringLiteral("E"),    QStringLiteral("項目"),
        QStringLiteral("狀態"), QStringLiteral("確認")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kColumns) {
        return titles[static_cast<std::size_t>(section)];
    }
    return {};
}

void FaultHistoryModel::SetFilter(const FaultFilter& filter) {
    filter_ = filter;
    beginResetModel();
    Rebuild();
    endResetModel();
}

void FaultHistoryModel::Rebuild() {
    ids_.clear();
    for (const FaultEntry* entry : FilterFaults(history_, filter_)) {
        ids_.push_back(entry->id);
    }
    const auto& entries = history_.entries();
    newest_seen_ = entries.empty() ? newest_seen_ : entries.back().id;
    revision_seen_ = history_.revision();
    acknowledgements_seen_ = history_.acknowledgements();
}

void FaultHistoryModel::Follow() {
    if (history_.revision() == revision_seen_) {
        return;
    }
    revision_seen_ = history_.revision();
    DropEvicted();
    InsertNew();
    if (history_.acknowledgements() != acknowledgements_seen_) {
        acknowledgements_seen_ = history_.acknowledgements();
        ShowAcknowledgements();
    }
}

// The history drops its oldest entries first: they are the bottom rows.
void FaultHistoryModel::DropEvicted() {
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

void FaultHistoryModel::InsertNew() {
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

// Acknowledged rows leave a view of unacknowledged entries, bottom run first so the rows
// above keep their numbers; elsewhere only their texts change.
void FaultHistoryModel::ShowAcknowledgements() {
    if (!filter_.unacknowledged_only) {
        if (rowCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
        }
        return;
    }
    const auto gone = [this](int row) {
        const FaultEntry* entry = EntryAt(row);
        return entry == nullptr || entry->acknowledged;
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
