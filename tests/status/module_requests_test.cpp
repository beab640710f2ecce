#include "status/module_requests.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "recording_sink.h"

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
