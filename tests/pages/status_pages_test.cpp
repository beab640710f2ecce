#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineSeries>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>

#include "decoding_commands.h"
#include "fake_ports.h"
#include "pages/antenna_status_page_view.h"
#include "pages/csv_export.h"
#include "pages/module_status_page_view.h"
#include "pages/trend_chart_window.h"
#include "qt_test_app.h"
#include "report_builder.h"
#include "status/module_fields.h"
#include "status/report_fields.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

class ModuleStatusViewTest : public ::testing::Test, protected testing::DecoderRig {
  protected:
    ModuleStatusViewTest() {
        model.ChooseView(0);
        commands.Drain();
    }

    void Click(CReportCtrl& grid, int row, int column) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(row, column).center());
    }
    const GridCellState& Cell(int row, int column) { return page.grid().cells().At(row, column); }

    QApplication& app = testing::QtTestApp();
    testing::DecodingCommands commands{decoder};
    testing::FakePrompts prompts;
    ModuleStatusPage model{ModulePageKind::kTrm, commands, prompts};
    CCPAGE1DLG page{model};
};

TEST_F(ModuleStatusViewTest, PositionCellOneSixtySelectsTheLowerHalfOfColumnTwelve) {
    ASSERT_EQ(page.position_grid().cells().At(12, 13).text, "160");
    Click(page.position_grid(), 12, 13);
    EXPECT_EQ(model.module(), 160);
    // What the half shows is the page model's test; the tree follows the click.
    ASSERT_EQ(commands.posted.size(), 1u);
    EXPECT_EQ(page.tree().currentItem()->text(0), "M160");
}

// The status face colours the module with a Tx fault (which faults count is the
// decoder's test); its menu greys it again. Its refresh-all box stays unchecked when
// the operator answers no.
TEST_F(ModuleStatusViewTest, StatusFaceShowsTheCountedFault) {
    testing::PutQField(report, QFieldArray::kTrmTxRx, 41, 0, 0b00000010);  // Tx of E0
    page.view_buttons()[3]->click();
    EXPECT_EQ(page.grid_title(), "DTRM  TxRx 狀態");
    page.status_face_box().click();
    EXPECT_TRUE(page.status_grid().isVisibleTo(&page));
    EXPECT_FALSE(page.position_grid().isVisibleTo(&page));
    EXPECT_EQ(page.position_title(), "DTRM TxRx 狀態");
    Click(page.status_grid(), kPositionCells[40].row, kPositionCells[40].column);
    commands.Drain();

    const auto& status = page.status_grid().cells();
    EXPECT_EQ(status.At(kPositionCells[41].row, kPositionCells[41].column).background,
              kModuleFaultBackground);

    // "清除狀態訊息" greys the status face again.
    page.status_menu().actions().front()->trigger();
    EXPECT_EQ(status.At(kPositionCells[41].row, kPositionCells[41].column).background,
              Rgb(200, 200, 200));

    ASSERT_TRUE(page.refresh_all_box().isEnabled());
    prompts.answers = {false};
    page.refresh_all_box().click();
    EXPECT_FALSE(page.refresh_all_box().isChecked());
}

// A screen reader's Toggle and the arrow keys act as clicks do; a refresh of all
// halves leaves the tree folded as it was; a view chosen while the report is stale
// keeps the grid's last picture until a readable report draws the view.
TEST_F(ModuleStatusViewTest, ToggleKeysRefreshAllAndStaleViews) {
    page.view_buttons()[3]->toggle();
    EXPECT_EQ(model.view_choice(), 3u);
    page.status_face_box().toggle();
    EXPECT_EQ(model.face(), PositionFace::kStatus);
    page.tree().setFocus();
    QTest::keyClick(&page.tree(), Qt::Key_Down);
    EXPECT_EQ(model.module(), page.tree().currentItem()->data(0, Qt::UserRole).toInt());
    commands.Drain();

    const auto expanded = [&] {
        return std::ranges::count_if(
            page.tree().findItems("*", Qt::MatchWildcard),
            [](const QTreeWidgetItem* item) { return item->isExpanded(); });
    };
    const auto before = expanded();
    prompts.answers = {true};
    page.refresh_all_box().toggle();
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(expanded(), before);

    bool stale = true;
    model.set_report_stale([&] { return stale; });
    const std::string shown = Cell(1, 2).text;
    ASSERT_FALSE(shown.empty());
    page.view_buttons()[0]->toggle();
    commands.Drain();
    EXPECT_EQ(Cell(1, 2).text, shown);
    stale = false;
    model.ReportReadableAgain();
    commands.Drain();
    EXPECT_NE(Cell(1, 2).text, shown);
}

TEST(AntennaStatusView, ValuesOutsideTheirLimitsAreRedAndUnlimitedOnesUnmarked) {
    testing::QtTestApp();
    AntennaStatusPage model;
    CCPAGE3DLG page{model};
    ReportMemory report;
    report.array(ReportArray::kSts)[32] = 36000u << 16 | 34208u;
    model.Refresh(report.reg_sts());
    page.SyncFromModel();
    const GridCells& list = page.lists()[0]->cells();
    // The limits are the readings' own test; the list shows what they say.
    EXPECT_EQ(std::tuple(list.At(0, 1).text, list.At(0, 1).text_colour, list.At(0, 1).mark),
              std::tuple("315.72", Rgb(210, 0, 0), CellMark::kFault));
    EXPECT_EQ(list.At(0, 2).mark, CellMark::kNone);
    EXPECT_EQ(page.lists()[13], nullptr);
}

// The limit line of the kind shown; exports propose a dated name and add the suffix.
TEST(TrendChartWindow, DrawsTheLimitOfTheTemperaturesShownAndExportsUnderADatedName) {
    testing::QtTestApp();
    ReportMemory report;
    testing::PutQField(report, QFieldArray::kTrmTemp, 3, 0, 0x1);
    testing::PutQField(report, QFieldArray::kQdxaSts, 3, 0, 0x2);
    TemperatureTrend trend(2);
    trend.Add(report, {2026, 12, 5, 19, 46, 0}, 0);
    TrendChartWindow window(trend, 3);
    ASSERT_EQ(window.limit_line().count(), 2);
    EXPECT_EQ(window.limit_line().at(1).y(), 55);
    window.kind_box().setCurrentIndex(1);
    EXPECT_EQ(window.limit_line().at(1).y(), 56);

    EXPECT_EQ(DefaultCsvName(QDate(2026, 12, 7), "alarms"), "2026-12-07-alarms.csv");
    const auto dialog = CsvSaveDialog(nullptr, "2026-12-07-alarms.csv");
    for (const auto& [typed, name] :
         {std::pair{"shift", "shift.csv"}, {"shift.txt", "shift.txt"}}) {
        dialog->selectFile(typed);
        EXPECT_EQ(QFileInfo(dialog->selectedFiles().value(0)).fileName(), name) << typed;
    }
}

}  // namespace
}  // namespace vantu
