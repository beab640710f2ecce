#include "status/status_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ranges>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/settings.h"
#include "decoding_commands.h"
#include "recording_sink.h"
#include "report_builder.h"
#include "status/module_requests.h"
#include "status/report_fields.h"
#include "status/status_colours.h"
#include "status/temperature.h"

namespace vantu {
namespace {

using testing::PutQField;

std::vector<Colour> WordColours(const Cell& cell) {
    const auto colours = CellWords(cell) | std::views::transform(&ColouredWord::colour);
    return {colours.begin(), colours.end()};
}

class StatusDecoderTest : public ::testing::Test, protected testing::DecoderRig {
  protected:
    StatusDecoderTest() {
        for (int i = 0; i < kTempColourCount; ++i) {
            shared.temp_colours[static_cast<std::size_t>(i)] = {TempColourKey(i), Rgb(i + 1, 0, 0)};
        }
        shared.temp_masks.fill(0xFFFFFFFF);
    }

    testing::RecordingSink grid;
    testing::RecordingSink positions;
    ModuleViewDisplay display{&grid, &positions, false, false};
    // The module's cell on the position face.
    const Cell& Position(int module) {
        return positions.At(kPositionCells[module].row, kPositionCells[module].column);
    }
};

TEST_F(StatusDecoderTest, MissingTableOrModuleRefuses) {
    EXPECT_EQ(decoder.DecodeModule(161, kViewSummary, &grid), -1);
    EXPECT_EQ(decoder.DecodeModuleView(-1, kViewSummary, 1, 2, nullptr), -1);
    EXPECT_EQ(decoder.DecodeModule(160, 7, &grid), 0);  // unknown view: nothing drawn
    decoder.DecodeAntenna(kViewVoltage, &grid);         // the antenna view offers no TM3
    EXPECT_TRUE(grid.cells.empty());
    FreeModuleTable(table);
    EXPECT_EQ(decoder.DecodeModule(0, kViewSummary, &grid), -1);
    EXPECT_EQ(decoder.DecodeAntenna(kViewSummary, &grid), -1);
    EXPECT_EQ(decoder.DecodeModuleView(0, kViewSummary, 1, 2, nullptr), -1);
}

TEST_F(StatusDecoderTest, RxOnlyFaultIsShownButNeverCounted) {
    const int module = 7;
    PutQField(report, QFieldArray::kTrmTxRx, module, 2, 0x01);  // Rx of E0
    ASSERT_EQ(decoder.DecodeModuleView(module, kViewTxRx, 6, 2, &display), 0);
    EXPECT_EQ(ModuleFaultCount(table.records[module], kViewTxRx, false), 0);

    const Cell& cell = grid.At(6, 4);
    EXPECT_STREQ(cell.text, "Tx Rx");
    EXPECT_EQ(WordColours(cell), std::vector({kBlack, kBlack}));
    EXPECT_EQ(TooltipText(cell.tip), "回報 : [0]-正常  [1]-異常\n[ Tx ]  [ Rx ]");
    const Cell& position = Position(module);
    EXPECT_EQ(std::tuple(position.background, position.text_colour, position.text),
              std::tuple(Rgb(200, 200, 200), kBlack, nullptr));

    decoder.DecodeModule(module, kViewTxRx, &grid);
    const Cell& antenna = grid.At(kAntennaGrid[module].row, kAntennaGrid[module].column + 2);
    EXPECT_EQ(antenna.background, Rgb(0, 150, 0));
    EXPECT_EQ(TooltipText(antenna.tip),
              "模組 : 007\r\n位置 : E0-Q2\n回報 : [0]-正常  [1]-異常\n狀態 : Tx[0]  Rx[1]");
}

TEST_F(StatusDecoderTest, TxFaultIsRedCountedAndTheE3TooltipHasAnExtraLine) {
    const int module = 20;
    PutQField(report, QFieldArray::kTrmTxRx, module, 5, 0x80);  // Tx of E3
    display.numeric = true;
    decoder.DecodeModuleView(module, kViewTxRx, 1, 2, &display);
    EXPECT_STREQ(grid.At(4, 7).text, "1 0 ");
    EXPECT_EQ(WordColours(grid.At(4, 7)), std::vector({Rgb(210, 0, 0), kBlack}));
    EXPECT_EQ(std::pair(Position(module).background, Position(module).text_colour),
              std::pair(Rgb(130, 0, 50), Rgb(200, 200, 200)));

    decoder.DecodeModule(module, kViewTxRx, &grid);
    const Cell& antenna = grid.At(kAntennaGrid[module].row + 3, kAntennaGrid[module].column + 5);
    EXPECT_EQ(std::tuple(antenna.background, antenna.text_colour, std::string(antenna.text)),
              std::tuple(Rgb(150, 0, 0), Rgb(150, 0, 0), ""));
    EXPECT_EQ(TooltipText(antenna.tip),
              "模組 : 020\r\n位置 : E3-Q5\n\n回報 : [0]-正常  [1]-異常\n狀態 : Tx[1]  Rx[0]");
}

TEST_F(StatusDecoderTest, MaskHidesAHotElement) {
    const int module = 10;
    PutQField(report, QFieldArray::kTrmTemp, module, 3, 0x00F0 | 0x000F);  // E0, E1 at 78 °C
    // Byte e of the mask is row Ee and its bit 7 - q channel Qq: row E1 hides Q3 (bit 4).
    shared.temp_masks[module] = 0xFFFFEFFF;
    decoder.DecodeModule(module, kViewTemperature, &grid);
    const GridCell& place = kAntennaGrid[module];
    const Cell& shown = grid.At(place.row, place.column + 3);  // ">74"
    EXPECT_EQ(std::tuple(shown.background, TooltipText(shown.tip)),
              std::tuple(Rgb(1, 0, 0), "模組 : 010\r\n位置 : E0-Q3\r\n溫度 : 78 °C"));
    const Cell& hidden = grid.At(place.row + 1, place.column + 3);  // "NULL"
    EXPECT_EQ(std::tuple(hidden.background, hidden.text_colour, TooltipText(hidden.tip)),
              std::tuple(Rgb(17, 0, 0), Rgb(17, 0, 0), "模組 : 010\r\n位置 : E1-Q3"));
}

TEST_F(StatusDecoderTest, TemperatureModuleViewHasBarsAndCountsAboveFiftyFive) {
    const int module = 40;
    // Q1: E0 code 10 (53 °C), E1 code 11 (58 °C).
    PutQField(report, QFieldArray::kTrmTemp, module, 1, 0x00BA);
    decoder.DecodeModuleView(module, kViewTemperature, 11, 2, &display);
    const Cell& warm = grid.At(11, 3);
    EXPECT_EQ(std::tuple(std::string(warm.text), warm.text_colour, warm.background,
                         warm.bar_percent, warm.band, warm.mark),
              std::tuple("53", kBlack, kKeepColour, 66, 2, CellMark::kNearLimit));
    const Cell& hot = grid.At(12, 3);
    EXPECT_EQ(std::tuple(std::string(hot.text), hot.text_colour, hot.band, hot.mark),
              std::tuple("58", Rgb(210, 0, 0), 1, CellMark::kFault));
    EXPECT_EQ(grid.At(13, 3).mark, CellMark::kNormal);
    EXPECT_EQ(TooltipText(hot.tip), "溫度上限值 55°C ");
    EXPECT_EQ(ModuleFaultCount(table.records[module], kViewTemperature, false), 1);
}

TEST_F(StatusDecoderTest, ClearedFaultsStayMarkedUntilAcknowledged) {
    const int module = 12;
    report = testing::HealthyReport();
    FaultHistory history(nullptr);
    decoder.set_latches(&history);
    std::array<std::uint8_t, kFaultSourceCount> faults{};
    const std::size_t supply = FaultIndex({FaultKind::kSupply, module, 3, 1, 1});
    const std::size_t element = FaultIndex({FaultKind::kElement, module, 0, 2, 0});
    history.Record(faults, {});
    faults[supply] = faults[element] = 1;
    history.Record(faults, {});
    faults[supply] = 0;  // the supply recovers; the element stays faulty
    history.Record(faults, {});
    PutQField(report, QFieldArray::kTrmSts, module, 0, 0b0100);

    const auto position = [&] { return Position(module).mark; };
    decoder.DecodeModuleView(module, kViewVoltage, 1, 2, &display);
    EXPECT_EQ(grid.At(2, 5).mark, CellMark::kLatched);  // E1, Q3
    EXPECT_EQ(grid.At(1, 5).mark, CellMark::kNormal);
    EXPECT_EQ(position(), CellMark::kLatched);
    decoder.DecodeModuleView(module, kViewSummary, 1, 2, &display);
    EXPECT_EQ(grid.At(3, 2).mark, CellMark::kFault) << "still faulty, not merely latched";
    EXPECT_EQ(grid.At(2, 5).mark, CellMark::kNormal) << "the supply's latch is not a TRM fault";
    EXPECT_EQ(position(), CellMark::kFault);
    decoder.DecodeModuleView(module, kViewTxRx, 1, 2, &display);
    EXPECT_EQ(position(), CellMark::kNormal);

    history.AcknowledgeAll({}, "op");
    decoder.DecodeModuleView(module, kViewVoltage, 1, 2, &display);
    EXPECT_EQ(grid.At(2, 5).mark, CellMark::kNormal);
    EXPECT_EQ(position(), CellMark::kNormal);
}

TEST_F(StatusDecoderTest, SupplyFlagsAtZeroAreFaults) {
    const int module = 100;
    // Q0 E0: +32V and +5V at 0 (nibble 0b0101); every other nibble healthy.
    report = testing::HealthyReport();
    PutQField(report, QFieldArray::kTrmPwr, module, 0, 0xFFF5);
    decoder.DecodeModuleView(module, kViewVoltage, 1, 2, &display);
    const Cell& cell = grid.At(1, 2);
    EXPECT_STREQ(cell.text, "32 9 5 -5");
    const Colour red = Rgb(210, 0, 0);
    EXPECT_EQ(WordColours(cell), std::vector({red, kBlack, red, kBlack}));
    EXPECT_EQ(ModuleFaultCount(table.records[module], kViewVoltage, false), 2);
    display.numeric = true;
    decoder.DecodeModuleView(module, kViewVoltage, 1, 2, &display);
    EXPECT_STREQ(grid.At(1, 2).text, "0 1 0 1 ");
    EXPECT_STREQ(grid.At(2, 2).text, "1 1 1 1 ");
}

TEST_F(StatusDecoderTest, QdxaFlagsAndTemperatureFaces) {
    const int module = 60;
    for (int q = 0; q < kQChannels; ++q) {
        PutQField(report, QFieldArray::kQdxaSts, module, q, 0xB1);  // healthy, 8 °C
    }
    // Q4: fault bit 7 = 0 (fault), over-temperature 1 (fault), SP OK 1, voltage 1, code 11.
    PutQField(report, QFieldArray::kQdxaSts, module, 4, 0x7B);
    decoder.DecodeModuleView(module, kViewQdxa, 1, 2, &display);
    const Colour red = Rgb(200, 0, 0);
    EXPECT_EQ(
        std::tuple(std::string(grid.At(1, 6).text), grid.At(1, 6).text_colour,
                   grid.At(2, 6).text_colour, grid.At(3, 6).text_colour, grid.At(4, 6).text_colour),
        std::tuple("0", red, red, kBlack, kBlack));
    EXPECT_EQ(TooltipText(grid.At(2, 6).tip), "回報 : [1]-異常  [0]-正常 ");
    EXPECT_EQ(ModuleFaultCount(table.records[module], kViewQdxa, false), 2);

    grid.cells.clear();
    display.qdxa_temperature = true;
    decoder.DecodeModuleView(module, kViewQdxa, 1, 2, &display);
    EXPECT_EQ(grid.cells.size(), 8u);  // first element row only
    EXPECT_EQ(std::tuple(std::string(grid.At(1, 6).text), grid.At(1, 6).text_colour,
                         std::string(grid.At(1, 2).text)),
              std::tuple("58", Rgb(210, 0, 0), "8"));
    EXPECT_EQ(ModuleFaultCount(table.records[module], kViewQdxa, true), 1);

    decoder.DecodeModule(module, kViewQdxa, &grid);
    const GridCell& place = kAntennaGrid[module];
    for (int e = 0; e < kElements; ++e) {
        EXPECT_EQ(grid.At(place.row + e, place.column + 4).background, Rgb(5, 0, 0));  // 55-59
    }
    EXPECT_EQ(TooltipText(grid.At(place.row + 3, place.column + 4).tip),
              "模組 : 060\r\n位置 : Q4\r\n溫度 : 58 °C");
}

TEST_F(StatusDecoderTest, DigitalIdTableComesFromStatusWordsNinetySixOn) {
    auto sts = report.array(ReportArray::kSts);
    for (std::size_t w = 96; w < 156; ++w) {
        sts[w] = 0x04030201u + static_cast<std::uint32_t>(w) * 0x04040404u;
    }
    RebuildDigitalIdTable(report);
    auto ids = report.digital_ids();
    auto byte = [&](std::size_t word, int n) {
        return static_cast<std::uint8_t>(sts[word] >> (8 * n));
    };
    // The SLB (200) is column 12 (words 148-151), index 8; no column lies beyond 13.
    EXPECT_EQ(
        std::vector({ids[0], ids[7 * 16 + 5], ids[13 * 16 + 15], ids[200], ids[224]}),
        std::vector({byte(128, 0), byte(97, 1), byte(155, 3), byte(150, 0), std::uint8_t{0}}));

    const int module = 7;  // column 1 index 1: slot 17, byte 1 of word 120
    decoder.DecodeModuleView(module, kViewDigitalId, 1, 2, &display);
    for (int q = 0; q < kQChannels; ++q) {
        const bool bit = ((ids[17] >> q) & 1) != 0;
        EXPECT_STREQ(grid.At(1, 2 + q).text, bit ? "1" : "0");
        EXPECT_EQ(grid.At(1, 2 + q).text_colour, bit ? kBlack : Rgb(200, 0, 0));
    }
}

// The column-half walk and the per-module clear run on the decoder's table.
using ModuleRequestsTest = StatusDecoderTest;

TEST_F(ModuleRequestsTest, BoundsEndTheWalk) {
    // 154 fails the bound before any jump; 157..160, then the table ends; an unknown kind
    // draws nothing for any module.
    for (const auto& [half, kind, drawn] :
         {std::tuple<ColumnHalf, int, std::size_t>{{12, true, 150, 4}, kViewSummary, 4},
          {{13, true, 157, 40}, kViewSummary, 4},
          {{4, false, 38, 7}, 6, 0}}) {
        positions.cells.clear();
        ApplyModuleViewRequest(decoder, MakeModuleViewRequest(half, kind, &display));
        EXPECT_EQ(positions.cells.size(), drawn) << half.column;
    }
}

TEST_F(ModuleRequestsTest, ClearZeroesOnlyTheModulesTemperatureAndQdxaWords) {
    std::ranges::fill(report.sys_rpt_reg(), 0xA5A5A5A5u);
    // Slot 200's four temperature words and two QDX-A words.
    ReportMemory cleared = report;
    std::fill_n(cleared.array(ReportArray::kTrmTemp).begin() + 800, 4, 0u);
    std::fill_n(cleared.array(ReportArray::kQdxaSts).begin() + 400, 2, 0u);
    ClearModuleReports(report, table, kSlbModule);
    EXPECT_TRUE(std::ranges::equal(report.area(), cleared.area()));

    ClearModuleReports(report, table, 161);
    ClearModuleReports(report, table, -1);
    FreeModuleTable(table);
    ClearModuleReports(report, table, 0);
    EXPECT_TRUE(std::ranges::equal(report.area(), cleared.area()));
}

}  // namespace
}  // namespace vantu
