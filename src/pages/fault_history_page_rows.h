// The history page's rows: the fault history's entries that the filter lets through,
// newest first, as a table model. It follows the history by inserting new entries at
// the top, removing those the history dropped at the bottom and redrawing what an
// acknowledgement changed, so the view keeps its selection on the same entries.
#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

#include "status/fault_history.h"
#include "status/fault_history_page_model.h"

namespace vantu {

class FaultHistoryPageRows : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column {
        kRaised,
        kCleared,
        kPriority,
        kKind,
        kModule,
        kQ,
        kE,
        kItem,
        kState,
        kAcknowledged,
        kAcknowledgedBy,
        kComment,
        kColumns
    };
    // The priority column sorts by this role.
    static constexpr int kSortRole = Qt::UserRole;

    explicit FaultHistoryPageRows(const FaultHistory& history, QObject* parent = nullptr);
    // The widest text of each column, for its width.
    static QString SampleText(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rebuilds the rows under a new filter.
    void SetFilter(const FaultFilter& filter);
    // Brings the rows up to the history's present; false when nothing changed. Texts
    // of rows already there (a clear, an acknowledgement, a shelve) are read when the
    // view repaints: announcing them as changed would make a sorting proxy visit every
    // row of a long history.
    bool Follow();
    // The entry of a row; null when the history dropped it since the last Follow.
    const FaultEntry* EntryAt(int row) const;
    std::uint64_t IdAt(int row) const { return ids_[static_cast<std::size_t>(row)]; }

  private:
    void DropEvicted();
    void InsertNew();
    void RemoveAcknowledged();
    void Rebuild();

    const FaultHistory& history_;
    FaultFilter filter_;
    // Entry ids, newest first.
    std::vector<std::uint64_t> ids_;
    std::uint64_t newest_seen_ = 0;
    std::uint64_t revision_seen_ = 0;
};

}  // namespace vantu
