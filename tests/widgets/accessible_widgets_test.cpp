#include "widgets/accessible_widgets.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QSignalSpy>

#include "qt_test_app.h"
#include "widgets/group_box.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

QAccessibleInterface* Interface(QObject* object) {
    InstallAccessibleWidgets();
    return QAccessible::queryAccessibleInterface(object);
}

// The health mark's words are read with its picture, in the small widgets' test.
TEST(AccessibleWidgetsTest, GroupBoxTitle) {
    testing::QtTestApp();
    CGroupBox box(QStringLiteral("系統狀態"));
    box.SetTitle(QStringLiteral("天線"));
    EXPECT_EQ(Interface(&box)->text(QAccessible::Name), QStringLiteral("天線"));
}

TEST(AccessibleWidgetsTest, GridIsATableOfCellsWithTextTooltipAndState) {
    testing::QtTestApp();
    CReportCtrl grid(3, 4);
    grid.SetHeaders({"模組", "狀態"}, 20);
    grid.resize(grid.ContentSize());
    QAccessibleInterface* face = Interface(&grid);
    QAccessibleTableInterface* table = face->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(std::pair(table->rowCount(), table->columnCount()), std::pair(3, 4));
    EXPECT_EQ(table->columnDescription(1), QStringLiteral("狀態"));
    EXPECT_EQ(table->cellAt(3, 0), nullptr);

    QAccessibleInterface* cell = table->cellAt(2, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(std::pair(face->child(9), face->indexOfChild(cell)), std::pair(cell, 9));
    EXPECT_EQ(face->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    // Below the header row.
    EXPECT_EQ(grid.viewport()->mapFromGlobal(cell->rect().topLeft()), QPoint(60, 20 + 2 * 18));

    GridCells& cells = grid.cells();
    cells.SetText(0, 0, "12");
    cells.SetTooltip(0, 0, "M12 溫度");
    cells.SetBar(0, 1, 85, 1);
    cells.SetBackground(0, 2, kModuleFaultBackground);
    cells.SetCheckBox(0, 3, true);
    cells.SetChecked(0, 3, true);
    cells.SetMark(1, 0, CellMark::kLatched);  // the mark, not the normal colour, is heard
    const char* expected[][3] = {{"12", "M12 溫度", ""},
                                 {"", "", "85% above limit"},
                                 {"", "", "fault"},
                                 {"", "", "checked"},
                                 {"", "", "cleared, unacknowledged"}};
    for (int column = 0; column < 5; ++column) {
        QAccessibleInterface* shown = table->cellAt(column / 4, column % 4);
        EXPECT_EQ(shown->text(QAccessible::Name), QString::fromUtf8(expected[column][0]));
        EXPECT_EQ(shown->text(QAccessible::Description), QString::fromUtf8(expected[column][1]));
        EXPECT_EQ(shown->text(QAccessible::Value), QString::fromUtf8(expected[column][2]));
    }
    EXPECT_TRUE(table->cellAt(0, 3)->state().checked);

    // However many cells a refresh changes, listeners hear of it once.
    QSignalSpy changes(&grid, &CReportCtrl::cellsChanged);
    for (int round = 1; round <= 2; ++round) {
        for (int i = 0; i < 12; ++i) {
            cells.SetText(i / 4, i % 4, "7");
        }
        cells.Reset();
        EXPECT_EQ(changes.count(), round - 1);
        EXPECT_TRUE(changes.wait(1000));
        EXPECT_EQ(changes.count(), round);
    }
}

}  // namespace
}  // namespace vantu
