// CReportCtrl as an accessible table: one cell interface per cell, made when a client
// first asks for it, so an idle bus costs nothing for the 5,000 cells of the antenna.
#pragma once

#include <QAccessibleWidget>
#include <QHash>

namespace vantu {

class CReportCtrl;
struct GridCellState;

// The cell's state in words: its bar band or the fault its colours show, and its mark.
QString CellStateText(const GridCellState& cell);

class AccessibleGrid : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit AccessibleGrid(CReportCtrl* grid);
    ~AccessibleGrid() override;

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    CReportCtrl* grid() const;

  private:
    mutable QHash<int, QAccessible::Id> cells_;
};

}  // namespace vantu
