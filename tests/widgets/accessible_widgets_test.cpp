#include "widgets/accessible_widgets.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QSignalSpy>

#include "qt_test_app.h"
#include "status/status_colours.h"
#include "widgets/group_box.h"
#include "widgets/health_mark.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

using testing::QtTestApp;

QAccessibleInterface* Interface(QObject* object) {
    InstallAccessibleWidgets();
    return QAccessible::queryAccessibleInterface(object);
}

// Made before any widget member of a fixture.
struct WithApp {
    WithApp() { QtTestApp(); }
};

TEST(AccessibleWidgetsTest, GroupBoxIsAGroupingNamedByItsTitle) {
    QtTestApp();
    CGroupBox box(QStringLiteral("系統狀態"));
    QAccessibleInterface* face = Interface(&box);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Grouping);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("系統狀態"));
    box.SetTitle(QStringLiteral("天線"));
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("天線"));
}

TEST(AccessibleWidgetsTest, HealthMarkNamesItsCaptionAndFollowsItsState) {
    QtTestApp();
    CHealthMark mark;
    QAccessibleInterface* face = Interface(&mark);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("no data"));
    mark.SetCaption(QStringLiteral("電源"));
    const struct {
        MarkState state;
        const char* name;
        const char* description;
    } cases[] = {{MarkState::kFaulty, "電源 faulty", "faulty"},
                 {MarkState::kHealthy, "電源 healthy", "healthy"},
                 {MarkState::kNoData, "電源 no data", "no data"}};
    for (const auto& c : cases) {
        mark.SetState(c.state);
        EXPECT_EQ(face->text(QAccessible::Name), QString::fromUtf8(c.name));
        EXPECT_EQ(face->text(QAccessible::Description), QString::fromUtf8(c.description));
    }
}

class AccessibleGridTest : public ::testing::Test, private WithApp {
  protected:
    AccessibleGridTest() : grid_(3, 4) {
        face_ = Interface(&grid_);
        table_ = face_->tableInterface();
        grid_.SetHeaders({"模組", "狀態"}, 20);
        grid_.resize(grid_.ContentSize());
    }

    CReportCtrl grid_;
    QAccessibleInterface* face_ = nullptr;
    QAccessibleTableInterface* table_ = nullptr;
};

TEST_F(AccessibleGridTest, ReportsItsShapeHeadersAndCellsByIndexAndPosition) {
    ASSERT_NE(table_, nullptr);
    EXPECT_EQ(face_->role(), QAccessible::Table);
    EXPECT_EQ(table_->rowCount(), 3);
    EXPECT_EQ(table_->columnCount(), 4);
    EXPECT_EQ(face_->childCount(), 12);
    EXPECT_EQ(table_->columnDescription(1), QStringLiteral("狀態"));
    EXPECT_EQ(table_->columnDescription(2), QString());
    EXPECT_EQ(table_->cellAt(3, 0), nullptr);
    EXPECT_EQ(table_->cellAt(0, -1), nullptr);
    EXPECT_EQ(face_->child(12), nullptr);

    QAccessibleInterface* cell = table_->cellAt(2, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(table_->cellAt(2, 1), cell);
    EXPECT_EQ(face_->child(9), cell);
    EXPECT_EQ(face_->indexOfChild(cell), 9);
    EXPECT_EQ(cell->parent(), face_);
    EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 2);
    EXPECT_EQ(cell->tableCellInterface()->columnIndex(), 1);
    // Below the header row, at the cell's own pixels.
    const QRect shown = grid_.ViewportCellRect(2, 1);
    EXPECT_EQ(cell->rect().size(), shown.size());
    EXPECT_EQ(face_->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    EXPECT_GE(shown.top(), 20);
}

TEST_F(AccessibleGridTest, CellTellsTextTooltipAndStateInWords) {
    GridCells& cells = grid_.cells();
    cells.SetText(0, 0, "12");
    cells.SetTooltip(0, 0, "M12 溫度");
    cells.SetBar(0, 1, 85, 1);
    cells.SetBackground(0, 2, kModuleFaultBackground);
    cells.SetCheckBox(0, 3, true);
    cells.SetChecked(0, 3, true);
    const struct {
        int column;
        const char* name;
        const char* description;
        const char* value;
    } cases[] = {{0, "12", "M12 溫度", ""},
                 {1, "", "", "85% above limit"},
                 {2, "", "", "fault"},
                 {3, "", "", "checked"}};
    for (const auto& c : cases) {
        QAccessibleInterface* cell = table_->cellAt(0, c.column);
        EXPECT_EQ(cell->text(QAccessible::Name), QString::fromUtf8(c.name)) << c.column;
        EXPECT_EQ(cell->text(QAccessible::Description), QString::fromUtf8(c.description));
        EXPECT_EQ(cell->text(QAccessible::Value), QString::fromUtf8(c.value));
    }
    EXPECT_TRUE(table_->cellAt(0, 3)->state().checked);
    EXPECT_FALSE(table_->cellAt(0, 2)->state().checkable);
    cells.SetChecked(0, 3, false);
    EXPECT_FALSE(table_->cellAt(0, 3)->state().checked);
}

TEST_F(AccessibleGridTest, ManyCellChangesBeforeTheEventLoopRaiseOneChange) {
    QSignalSpy changes(&grid_, &CReportCtrl::cellsChanged);
    for (int round = 1; round <= 2; ++round) {
        for (int row = 0; row < grid_.rows(); ++row) {
            for (int column = 0; column < grid_.columns(); ++column) {
                grid_.cells().SetText(row, column, "7");
            }
        }
        grid_.cells().Reset();
        EXPECT_EQ(changes.count(), round - 1);
        EXPECT_TRUE(changes.wait(1000));
        EXPECT_EQ(changes.count(), round);
    }
}

}  // namespace
}  // namespace vantu
