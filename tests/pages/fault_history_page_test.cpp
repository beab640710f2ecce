#include "pages/fault_history_page_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>

#include <algorithm>

#include "fake_ports.h"
#include "pages/report_age_label.h"
#include "pages/trend_chart_window.h"
#include "qt_test_app.h"
#include "report_builder.h"
#include "temp_dir.h"

namespace vantu {
namespace {

class FaultHistoryPageTest : public ::testing::Test {
  protected:
    FaultHistoryPageTest() {
        // Two complete cycles: the first healthy but for one supply, the second with
        // that supply cleared and an interface word down.
        report = testing::HealthyReport();
        testing::PutQField(report, QFieldArray::kTrmPwr, 7, 2, 0xFFF7);  // 32 V of E0
        testing::PutQField(report, QFieldArray::kTrmTemp, 7, 2, 0x0009);
        testing::PollCycle(watch, report);
        testing::PutQField(report, QFieldArray::kTrmPwr, 7, 2, 0xFFFF);
        testing::PutQField(report, QFieldArray::kTrmTemp, 7, 2, 0x000A);
        report.array(ReportArray::kSts)[kSpInterfaceWord] = 0;
        clock.time.second = 15;
        testing::PollCycle(watch, report);
        page.SyncFromModel();
    }
    std::vector<QString> Column(int column) const {
        std::vector<QString> texts;
        const QAbstractItemModel& rows = *page.table()->model();
        for (int row = 0; row < rows.rowCount(); ++row) {
            texts.push_back(rows.index(row, column).data().toString());
        }
        return texts;
    }

    QApplication& app = testing::QtTestApp();
    testing::FakeClock clock;
    ReportMemory report;
    ReportWatch watch{report, clock, nullptr};
    CFaultHistoryPage page{watch};
};

// Each control reaches the history (the trend opens for the module filtered); which entries
// acknowledging, shelving and the filters touch is the history's own test.
TEST_F(FaultHistoryPageTest, FiltersAcknowledgementShelvingAndExport) {
    using V = std::vector<QString>;
    using M = FaultHistoryPageRows;
    EXPECT_EQ(Column(M::kState), (V{"✗ 故障 未確認", "! 已恢復 未確認"}));
    page.module_filter()->setValue(7);
    EXPECT_EQ(Column(M::kItem), V{"32V"});
    std::unique_ptr<QWidget> window(page.OpenTrend());
    auto* trend = dynamic_cast<TrendChartWindow*>(window.get());
    ASSERT_NE(trend, nullptr);
    EXPECT_EQ(std::pair(trend->module(), trend->points()), std::pair(7, 2));
    page.module_filter()->setValue(-1);
    page.kind_filter()->setCurrentIndex(5);  // interface
    EXPECT_EQ(Column(M::kItem), V{"SP 介面"});
    page.kind_filter()->setCurrentIndex(0);

    const auto select = [&](int row) {
        page.table()->selectionModel()->select(
            page.table()->model()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };
    select(1);
    page.comment()->setText("checked, ok");
    page.AcknowledgeSelected();
    EXPECT_EQ(Column(M::kComment)[1], "checked, ok");
    EXPECT_TRUE(page.comment()->text().isEmpty());

    select(0);
    page.ShelveSelected(false);
    EXPECT_EQ(Column(M::kState)[0], "擱置");
    page.UnshelveSelected();
    EXPECT_EQ(Column(M::kState)[0], "✗ 故障 未確認");

    page.unacknowledged_filter()->setChecked(true);
    testing::TempDir dir;
    ASSERT_TRUE(page.ExportTo(QString::fromStdString(dir.File("view.csv"))));
    EXPECT_NE(dir.Read("view.csv").find(",SP,active,\n"), std::string::npos);
    EXPECT_FALSE(page.ExportTo(QString::fromStdString(dir.File("missing/view.csv"))));
    page.AcknowledgeAll();
    EXPECT_EQ(page.table()->model()->rowCount(), 0);
}

// A new entry comes in at the top; the selection stays on its entry, and acknowledging
// acts on that entry, not on whatever row number it had.
TEST_F(FaultHistoryPageTest, SelectionStaysOnItsEntryAsNewEntriesArrive) {
    QItemSelectionModel& selection = *page.table()->selectionModel();
    selection.select(page.table()->model()->index(0, 0),
                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    testing::PutQField(report, QFieldArray::kTrmPwr, 9, 1, 0xFFF7);
    clock.time.second = 20;
    testing::PollCycle(watch, report);
    page.SyncFromModel();
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(selection.selectedRows().front().row(), 1);
    page.AcknowledgeSelected();
    EXPECT_FALSE(watch.history().Latched(FaultIndex({FaultKind::kInterface, -1, -1, -1, 0})));
    EXPECT_TRUE(watch.history().Latched(FaultIndex({FaultKind::kSupply, 9, 1, 0, 0})));
}

// The age beside the tabs: the time of the last readable report, named stale and struck
// through once the card reads all ones.
TEST_F(FaultHistoryPageTest, ReportAgeLabelStrikesAStaleReport) {
    ReportAgeLabel label(watch);
    EXPECT_EQ(label.text(), "資料時間 19:46:15 (0 秒前)");
    EXPECT_FALSE(label.font().strikeOut());
    std::ranges::fill(report.sys_rpt_reg(), 0xFFFFFFFF);
    clock.micros = 3'000'000;
    testing::PollCycle(watch, report);
    label.SyncFromModel();
    EXPECT_EQ(label.text(), "資料過期, 上次讀取 19:46:15 (3 秒前)");
    EXPECT_TRUE(label.font().strikeOut());
}

}  // namespace
}  // namespace vantu
