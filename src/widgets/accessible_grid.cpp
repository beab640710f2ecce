#include "widgets/accessible_grid.h"

#include <QPointer>
#include <QStringList>

#include <algorithm>

#include "status/status_colours.h"
#include "widgets/qt_colour.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

// A bar cell's bands: 0 cool, 1 above the limit, 2 near it.
constexpr const char* kBandWords[] = {"normal", "above limit", "near limit"};
// CellMark in order; kNone says nothing.
constexpr const char* kMarkWords[] = {
    "", "normal", "fault", "near limit", "cleared, unacknowledged", "no data"};

bool IsFaultColour(Colour colour) {
    for (Colour fault : {kFaultText, kQdxaFaultText, kSummaryFault, kTxFault,
                         kModuleFaultBackground, kInterfaceFaultBackground}) {
        if (colour == fault) {
            return true;
        }
    }
    return false;
}

class AccessibleGridCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
  public:
    AccessibleGridCell(CReportCtrl* grid, int row, int column)
        : grid_(grid), row_(row), column_(column) {}

    bool isValid() const override { return grid_ && grid_->cells().Contains(row_, column_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(grid_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::Cell; }

    QString text(QAccessible::Text kind) const override {
        if (!isValid()) {
            return {};
        }
        const GridCellState& cell = grid_->cells().At(row_, column_);
        switch (kind) {
            case QAccessible::Name:
                return ToQString(cell.text);
            case QAccessible::Description:
                return ToQString(grid_->cells().Tooltip(row_, column_));
            case QAccessible::Value:
                return CellStateText(cell);
            default:
                return {};
        }
    }

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect shown = grid_->ViewportCellRect(row_, column_);
        return QRect(grid_->viewport()->mapToGlobal(shown.topLeft()), shown.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        if (isValid()) {
            const GridCellState& cell = grid_->cells().At(row_, column_);
            state.checkable = cell.has_check;
            state.checked = cell.has_check && cell.checked;
            state.invisible =
                !grid_->viewport()->rect().intersects(grid_->ViewportCellRect(row_, column_));
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override { return false; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    QAccessibleInterface* table() const override { return parent(); }

  private:
    QPointer<CReportCtrl> grid_;
    int row_;
    int column_;
};

}  // namespace

QString CellStateText(const GridCellState& cell) {
    QStringList words;
    if (cell.bar_percent >= 0) {
        words << QStringLiteral("%1%").arg(cell.bar_percent)
              << QLatin1String(kBandWords[std::min<int>(cell.band, 2)]);
    } else if (cell.mark != CellMark::kNone) {
        words << QLatin1String(kMarkWords[static_cast<std::size_t>(cell.mark)]);
    } else if (IsFaultColour(cell.background) || IsFaultColour(cell.text_colour)) {
        words << QStringLiteral("fault");
    }
    if (cell.has_check) {
        words << (cell.checked ? QStringLiteral("checked") : QStringLiteral("unchecked"));
    }
    return words.join(QLatin1Char(' '));
}

AccessibleGrid::AccessibleGrid(CReportCtrl* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

AccessibleGrid::~AccessibleGrid() {
    for (QAccessible::Id id : std::as_const(cells_)) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

CReportCtrl* AccessibleGrid::grid() const {
    return static_cast<CReportCtrl*>(widget());
}

void* AccessibleGrid::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) {
        return static_cast<QAccessibleTableInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

int AccessibleGrid::rowCount() const {
    return grid()->rows();
}

int AccessibleGrid::columnCount() const {
    return grid()->columns();
}

int AccessibleGrid::childCount() const {
    return rowCount() * columnCount();
}

QAccessibleInterface* AccessibleGrid::cellAt(int row, int column) const {
    if (!grid()->cells().Contains(row, column)) {
        return nullptr;
    }
    const int index = row * columnCount() + column;
    if (const auto found = cells_.constFind(index); found != cells_.constEnd()) {
        return QAccessible::accessibleInterface(*found);
    }
    auto* cell = new AccessibleGridCell(grid(), row, column);
    cells_.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface* AccessibleGrid::child(int index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    return cellAt(index / columnCount(), index % columnCount());
}

int AccessibleGrid::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell =
        child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
    if (cell == nullptr || child->parent() != this) {
        return -1;
    }
    return cell->rowIndex() * columnCount() + cell->columnIndex();
}

QAccessibleInterface* AccessibleGrid::childAt(int x, int y) const {
    const QPoint at = grid()->viewport()->mapFromGlobal(QPoint(x, y));
    const std::optional<CellIndex> cell = grid()->CellAt(at);
    return cell ? cellAt(cell->row, cell->column) : nullptr;
}

QString AccessibleGrid::columnDescription(int column) const {
    const std::vector<std::string>& headers = grid()->headers();
    if (column < 0 || static_cast<std::size_t>(column) >= headers.size()) {
        return {};
    }
    return ToQString(headers[static_cast<std::size_t>(column)]);
}

}  // namespace vantu
