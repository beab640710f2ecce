#include "status/module_requests.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "recording_sink.h"
#include "report_builder.h"

namespace vantu {
namespace {

class ModuleRequestsTest : public ::testing::Test {
  protected:
    ModuleRequestsTest() { BuildModuleTable(table); }

    ModuleTable table;
    ReportMemory report;
    SharedSettings shared;
    StatusDecoder decoder{table, report, shared};
};

// Records which module went to which grid slot: every module gets one summary fault
// at Q0 E0 and the position-table cells say which modules were decoded.
TEST_F(ModuleRequestsTest, LowerHalfOfColumnTwelveJumpsToTheSlbModule) {
    for (int m = 0; m < kModuleCount; ++m) {
        testing::PutQField(report, QFieldArray::kTrmSts, m, 0, 1);
    }
    testing::RecordingSink grid;
    testing::RecordingSink positions;
    ModuleViewDisplay display{&grid, &positions, false, false};
    ColumnHalf half = HalfOfColumn(12, true);
    ASSERT_EQ(half.first_module, 150);
    ASSERT_EQ(half.count, 5);
    ModuleViewRequest request = MakeModuleViewRequest(half, kViewSummary, &display);
    EXPECT_EQ(request.entries[4][0], 21u);
    EXPECT_EQ(request.entries[4][1], 2u);
    ApplyModuleViewRequest(decoder, request);

    std::vector<int> decoded;
    for (const auto& [where, cell] : positions.cells) {
        decoded.push_back(PositionCellModule(where.first, where.second));
    }
    std::sort(decoded.begin(), decoded.end());
    EXPECT_EQ(decoded, (std::vector<int>{150, 151, 152, 153, 160}));
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_STREQ(grid.At(5 * slot + 1, 2).text, "1") << slot;
    }
    EXPECT_EQ(grid.cells.count({26, 2}), 0u);  // slots 5 and 6 stay empty
    EXPECT_EQ(grid.batches, 5);
}

TEST_F(ModuleRequestsTest, BoundsEndTheWalk) {
    testing::RecordingSink grid;
    testing::RecordingSink positions;
    ModuleViewDisplay display{&grid, &positions, false, false};
    ModuleViewRequest request =
        MakeModuleViewRequest(ColumnHalf{12, true, 150, 4}, kViewSummary, &display);
    ApplyModuleViewRequest(decoder, request);
    EXPECT_EQ(positions.cells.size(), 4u);  // 154 fails the bound before any jump

    positions.cells.clear();
    request = MakeModuleViewRequest(ColumnHalf{13, true, 157, 40}, kViewSummary, &display);
    ApplyModuleViewRequest(decoder, request);
    EXPECT_EQ(positions.cells.size(), 4u);  // 157..160, then the table ends

    positions.cells.clear();
    request = MakeModuleViewRequest(ColumnHalf{4, false, 38, 7}, 6, &display);
    ApplyModuleViewRequest(decoder, request);
    EXPECT_TRUE(positions.cells.empty());  // unknown kind: nothing for any module
}

TEST_F(ModuleRequestsTest, ClearZeroesOnlyTheModulesTemperatureAndQdxaWords) {
    for (std::uint32_t& word : report.sys_rpt_reg()) {
        word = 0xA5A5A5A5;
    }
    ClearModuleReports(report, table, kSlbModule);  // slot 200
    auto temp = report.array(ReportArray::kTrmTemp);
    auto qdxa = report.array(ReportArray::kQdxaSts);
    for (std::size_t w = 0; w < temp.size(); ++w) {
        EXPECT_EQ(temp[w], w >= 800 && w < 804 ? 0u : 0xA5A5A5A5u) << w;
    }
    for (std::size_t w = 0; w < qdxa.size(); ++w) {
        EXPECT_EQ(qdxa[w], w >= 400 && w < 402 ? 0u : 0xA5A5A5A5u) << w;
    }
    EXPECT_EQ(report.array(ReportArray::kTrmSts)[200], 0xA5A5A5A5u);

    ReportMemory before = report;
    ClearModuleReports(report, table, 161);
    ClearModuleReports(report, table, -1);
    FreeModuleTable(table);
    ClearModuleReports(report, table, 0);
    EXPECT_TRUE(std::equal(before.area().begin(), before.area().end(), report.area().begin()));
}

}  // namespace
}  // namespace vantu
