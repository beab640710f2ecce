#include "status/module_status_page_model.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "decoding_commands.h"
#include "fake_ports.h"
#include "recording_sink.h"
#include "report_builder.h"

namespace vantu {
namespace {

struct RecordingSurface : ModulePageSurface {
    CellSink& module_grid() override { return grid; }
    CellSink& position_face() override { return position; }
    CellSink& status_face() override { return status; }
    void SetBarDisplay(bool on) override { bars = on; }
    void UncheckRow(int row) override { unchecked.push_back(row); }

    testing::RecordingSink grid;
    testing::RecordingSink position;
    testing::RecordingSink status;
    bool bars = false;
    std::vector<int> unchecked;
};

class ModuleStatusPageTest : public ::testing::Test, protected testing::DecoderRig {
  protected:
    ModuleStatusPageTest() { trm.set_surface(&surface); }

    testing::DecodingCommands commands{decoder};
    testing::FakePrompts prompts;
    RecordingSurface surface;
    ModuleStatusPage trm{ModulePageKind::kTrm, commands, prompts};
};

TEST_F(ModuleStatusPageTest, LowerHalfOfColumnTwelveEndsWithTheSlbModule) {
    const TreeNode& node = ModuleTreeNodes()[25];
    EXPECT_EQ(node.label, "COL [12] DN");
    EXPECT_EQ(node.modules, (std::array<int, kMaxHalfModules>{150, 151, 152, 153, 160, -1, -1}));

    trm.ChooseView(0);
    commands.Drain();
    // Module 160's Q3 E2 summary fault lands in slot 4.
    testing::PutQField(report, QFieldArray::kTrmSts, 160, 3, 0b0100);
    surface.unchecked.clear();
    trm.ShowColumnHalf(node.column, node.lower, 160);
    EXPECT_EQ(commands.posted.size(), 1u);
    commands.Drain();

    for (int slot = 0; slot < kMaxHalfModules; ++slot) {
        EXPECT_STREQ(surface.grid.At(5 * slot, 1).text,
                     slot < 5 ? ModuleLabel(node.modules[slot]) : "");
    }
    EXPECT_EQ(surface.grid.At(20, 1).text_colour, kModuleHighlight);
    EXPECT_EQ(surface.grid.At(15, 1).text_colour, kBlack);
    EXPECT_EQ(surface.unchecked, (std::vector<int>{0, 5, 10, 15, 20}));
    EXPECT_STREQ(surface.grid.At(23, 5).text, "1");
    EXPECT_EQ(surface.grid.At(23, 5).text_colour, kFaultText);

    // The half is green on the position face; the previous one got its colours back.
    EXPECT_EQ(surface.position.At(12, 13).background, kHalfHighlight);
    EXPECT_EQ(surface.position.At(8, 13).background, kHalfHighlight);
    EXPECT_EQ(surface.position.At(5, 1).background, Rgb(200, 200, 200));
    EXPECT_EQ(surface.position.At(6, 1).background, Rgb(145, 200, 255));
}

TEST_F(ModuleStatusPageTest, RefreshAllAnsweredNoChangesNothing) {
    trm.ChooseView(1);
    trm.ClickPosition(3, 3);  // module 15, column 2 upper half
    commands.Drain();
    const auto batches = [this] {
        return std::tuple(surface.grid.batches, surface.position.batches, surface.status.batches);
    };
    const auto drawn = batches();

    prompts.answers = {false};
    EXPECT_FALSE(trm.AskRefreshAll());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "您要更新全面天線全部 [ 溫度 ] 狀態回報嗎 ? ");
    EXPECT_EQ(std::tuple(trm.view_choice(), trm.column(), trm.module(), trm.refreshing_all()),
              std::tuple(1u, 2, 15, false));
    EXPECT_TRUE(commands.posted.empty());
    EXPECT_EQ(batches(), drawn);
}

// Yes decodes every half before it returns (sent, not posted), colours every module's
// status cell, and ends on the half the operator had chosen.
TEST_F(ModuleStatusPageTest, RefreshAllSendsEveryHalfAndComesBack) {
    trm.ChooseView(0);
    trm.ClickPosition(12, 13);
    commands.Drain();
    testing::PutQField(report, QFieldArray::kTrmSts, 0, 0, 1);
    testing::PutQField(report, QFieldArray::kTrmSts, 159, 7, 8);
    trm.ShowFace(PositionFace::kStatus);

    prompts.answers = {true};
    EXPECT_TRUE(trm.AskRefreshAll());
    EXPECT_EQ(commands.sent, 2 * kColumns + 1);
    EXPECT_TRUE(commands.posted.empty());
    EXPECT_EQ(std::tuple(trm.refreshing_all(), trm.column(), trm.lower(), trm.module()),
              std::tuple(false, 12, true, 160));
    for (int m = 0; m < kModuleCount; ++m) {
        const GridCell& place = kPositionCells[static_cast<std::size_t>(m)];
        const bool faulty = m == 0 || m == 159;
        EXPECT_EQ(surface.status.At(place.row, place.column).background,
                  faulty ? kModuleFaultBackground : kModuleNormalBackground)
            << "module " << m;
    }

    // A view change on the status face refreshes all again without asking.
    trm.ChooseView(2);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(commands.sent, 2 * (2 * kColumns + 1));
}

// Bars only on the temperature views; TM5 turns the numbers back on.
TEST_F(ModuleStatusPageTest, BarsAndNumbers) {
    trm.ChooseView(1);
    trm.ShowBars();
    EXPECT_TRUE(surface.bars);
    trm.ChooseView(2);
    EXPECT_FALSE(surface.bars);
    trm.ShowStatusWords();
    EXPECT_FALSE(trm.numeric());
    trm.ChooseView(0);
    EXPECT_TRUE(trm.numeric());
    EXPECT_TRUE(trm.bars());
    trm.ShowNumbers();
    EXPECT_FALSE(trm.bars());
}

TEST_F(ModuleStatusPageTest, AntennaWordsFromTheMainRefresh) {
    auto sts = report.array(ReportArray::kSts);
    sts[5] = 0xFFFF0000;
    sts[6] = 0x80000000u | 3u << 15 | 1234;  // bits above 20 belong to neither total
    trm.ShowAntennaWords(report.reg_sts());
    EXPECT_EQ(trm.internal_interface().text, "異常");
    EXPECT_EQ(trm.main_total(), "1234 ");
}

}  // namespace
}  // namespace vantu
