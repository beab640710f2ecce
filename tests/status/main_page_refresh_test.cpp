#include "status/main_page_refresh.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/settings.h"
#include "recording_sink.h"
#include "status/antenna_layout.h"
#include "status/status_colours.h"
#include "status/subsystem_health.h"
#include "status/temperature.h"

namespace vantu {
namespace {

// What the refresh drew on the list (texts copied at once) and the grid.
struct DrawnCell {
    Colour background = 0;
    std::string text;
    std::string tooltip;
};

class FakeSurface : public MainPageSurface {
  public:
    CellSink& antenna_grid() override { return grid; }
    void SetStatusCell(const StatusCell& cell) override {
        list[{cell.row, cell.column}] = {cell.background, std::string(cell.text),
                                         std::string(cell.tooltip)};
        ++list_cells;
    }
    void SetStatusMark(int row, int column, bool set) override {
        marks[{row, column}] = set;
        ++mark_calls;
    }
    void ShowIndicator(HealthIndicator indicator, bool healthy) override {
        indicators.emplace_back(indicator, healthy);
    }

    testing::RecordingSink grid;
    std::map<std::pair<int, int>, DrawnCell> list;
    int list_cells = 0;
    std::map<std::pair<int, int>, bool> marks;
    int mark_calls = 0;
    std::vector<std::pair<HealthIndicator, bool>> indicators;
};

// Module 7 is index 1 of column 1 (slot 17).
constexpr int kModule = 7;
constexpr std::size_t kSlot = 17;
constexpr int kQ = 5;

class MainPageRefreshTest : public ::testing::Test {
  protected:
    MainPageRefreshTest() {
        BuildModuleTable(table);
        shared.temp_masks.fill(0xFFFFFFFF);
        for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
            report.MarkCaptured(block);
        }
    }

    std::uint32_t& Word(ReportArray array, std::size_t index) { return report.array(array)[index]; }
    std::uint32_t& Sts(std::size_t word) { return Word(ReportArray::kSts, word); }

    ModuleTable table;
    ReportMemory report;
    SharedSettings shared;
    StatusDecoder decoder{table, report, shared};
    MainPageRefresh refresh{decoder, report, shared};
    FakeSurface surface;
};

TEST_F(MainPageRefreshTest, InterfaceStatesAndTotalsAreRedrawnOnlyWhenTheirWordsChange) {
    Sts(4) = 0x0000FFFF;
    Sts(5) = 0xFFFF0000;
    Sts(6) = (3u << 15) | 12u;
    refresh.Refresh(&surface);

    const auto& list = surface.list;
    const auto state = [&](int row) {
        return std::tuple(list.at({row, 4}).text, list.at({row, 4}).background,
                          list.at({row, 4}).tooltip);
    };
    const std::string words = "正常 : [0x0000FFFF]\n異常 : [0xFFFF0000]\n回報 : ";
    EXPECT_EQ(state(1), std::tuple("正常", Rgb(120, 120, 120), words + "[0x0000FFFF]"));
    EXPECT_EQ(state(4), std::tuple("異常", Rgb(130, 0, 50), words + "[0xFFFF0000]"));
    EXPECT_EQ(std::tuple(list.at({1, 7}).text, list.at({4, 7}).text), std::tuple("3 ", "12 "));
    using Marks = std::map<std::pair<int, int>, bool>;
    EXPECT_EQ(surface.marks,
              (Marks{{{1, 2}, false}, {{4, 2}, true}, {{1, 5}, true}, {{4, 5}, true}}));

    EXPECT_EQ(std::pair(surface.list_cells, surface.mark_calls), std::pair(4, 4));
    refresh.Refresh(&surface);
    EXPECT_EQ(std::pair(surface.list_cells, surface.mark_calls), std::pair(4, 4));

    Sts(6) = 0;  // the totals only
    refresh.Refresh(&surface);
    EXPECT_EQ(surface.list_cells, 6);
    EXPECT_EQ(list.at({1, 7}).text, "0 ");
    EXPECT_EQ(surface.marks,
              (Marks{{{1, 2}, false}, {{4, 2}, true}, {{1, 5}, false}, {{4, 5}, false}}));
}

TEST_F(MainPageRefreshTest, IndicatorsChangeOnlyWhenTheirStateChanges) {
    using Shown = std::vector<std::pair<HealthIndicator, bool>>;
    refresh.Refresh(&surface);  // all words 0: every group faulty
    EXPECT_EQ(surface.indicators, (Shown{{HealthIndicator::kPower, false},
                                         {HealthIndicator::kEnvironment, false},
                                         {HealthIndicator::kDigital, false},
                                         {HealthIndicator::kRf, false},
                                         {HealthIndicator::kExciterInput, false},
                                         {HealthIndicator::kQtrmInput, false}}));

    surface.indicators.clear();
    refresh.Refresh(&surface);
    EXPECT_TRUE(surface.indicators.empty());

    for (std::size_t word = 20; word <= 27; ++word) {
        Sts(word) = 0xFFFFFFFF;
    }
    refresh.Refresh(&surface);
    EXPECT_EQ(surface.indicators.size(), 6u);
    for (const auto& [indicator, healthy] : surface.indicators) {
        EXPECT_TRUE(healthy) << static_cast<int>(indicator);
    }

    surface.indicators.clear();
    Sts(27) = 0x7FFFFFFF;  // bit 31: the RF group and the EXCITER input power
    refresh.Refresh(&surface);
    EXPECT_EQ(surface.indicators,
              (Shown{{HealthIndicator::kRf, false}, {HealthIndicator::kExciterInput, false}}));
}

TEST_F(MainPageRefreshTest, NothingIsShownFromBlocksNotYetRead) {
    report.Zero();
    shared.display_mode = kDisplayTrmTemperature;
    Sts(4) = 0x0000FFFF;
    refresh.Refresh(&surface);
    EXPECT_TRUE(surface.indicators.empty());
    EXPECT_EQ(surface.list_cells + surface.mark_calls, 0);

    report.MarkCaptured(0);  // `reg_sts`
    refresh.Refresh(&surface);
    EXPECT_EQ(surface.indicators.size(), 6u);
    EXPECT_EQ(surface.list_cells, 4);

    // `reg_trm_temp` lies in blocks 10 to 13: the grid waits for the last of them.
    for (std::uint32_t block = 10; block < 13; ++block) {
        report.MarkCaptured(block);
    }
    refresh.Refresh(&surface);
    EXPECT_TRUE(surface.grid.cells.empty());
    EXPECT_FALSE(refresh.showed_report());
    report.MarkCaptured(13);
    refresh.Refresh(&surface);
    EXPECT_EQ(surface.grid.cells.size(), static_cast<std::size_t>(kModuleCount * 32));
    EXPECT_EQ(surface.grid.batches, kModuleCount);
    EXPECT_TRUE(refresh.showed_report());
}

TEST_F(MainPageRefreshTest, WithoutSurfaceOrTableNothingIsDrawn) {
    shared.display_mode = kDisplayTrmStatus;
    Word(ReportArray::kTrmSts, kSlot) = 0x1u << (4 * kQ);
    refresh.Refresh(nullptr);
    EXPECT_EQ(table.records[kModule].q[kQ].trm_status[0], 1);  // still decoded

    FreeModuleTable(table);
    refresh.Refresh(&surface);
    EXPECT_TRUE(surface.grid.cells.empty());
    EXPECT_EQ(surface.indicators.size(), 6u);  // the words are read all the same
}

using Words = std::array<std::uint32_t, 256>;

Words Healthy() {
    Words words{};
    for (std::size_t w = 20; w <= 27; ++w) {
        words[w] = 0xFFFFFFFF;
    }
    return words;
}

auto Fields(const HealthStates& s) {
    return std::tuple(s.power, s.environment, s.digital, s.rf, s.exciter_input_fault,
                      s.qtrm_input_fault);
}

TEST(SubsystemHealthTest, GroupsFollowTheirWordsAndExcludedBits) {
    struct Case {
        const char* what;
        std::size_t word;
        int bit;  // cleared in an otherwise healthy report
        HealthStates expected;
    };
    const HealthStates ok;
    auto with = [](HealthStates s, bool HealthStates::*field, bool value) {
        s.*field = value;
        return s;
    };
    const Case cases[] = {
        {"power word 20", 20, 0, with(ok, &HealthStates::power, false)},
        {"power word 20 excluded bit 21 belongs to environment", 20, 21,
         with(ok, &HealthStates::environment, false)},
        {"power word 20 bit 29 not counted", 20, 29, ok},
        {"environment word 22 never counts", 22, 0, ok},
        {"digital word 26", 26, 0, with(ok, &HealthStates::digital, false)},
        {"rf and exciter", 27, 31,
         with(with(ok, &HealthStates::rf, false), &HealthStates::exciter_input_fault, true)},
        {"rf and qtrm", 27, 11,
         with(with(ok, &HealthStates::rf, false), &HealthStates::qtrm_input_fault, true)},
        {"rf only", 27, 16, with(ok, &HealthStates::rf, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Words words = Healthy();
        words[c.word] &= ~(1u << c.bit);
        EXPECT_EQ(Fields(EvaluateHealth(words)), Fields(c.expected));
    }
}

}  // namespace
}  // namespace vantu
