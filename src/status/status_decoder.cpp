#include "status/status_decoder.h"

#include <cstddef>
#include <cstring>
#include <optional>

#include "status/latched_marks.h"
#include "status/temperature.h"

namespace vantu {
namespace {

using CellBatch = std::array<Cell, kQChannels * kElements>;

constexpr Colour FaultText(bool fault) {
    return fault ? kFaultText : kBlack;
}

constexpr CellMark FaultMark(bool fault) {
    return fault ? CellMark::kFault : CellMark::kNormal;
}

// Above the limit a fault, in the band below it a warning.
constexpr CellMark TemperatureMark(int celsius, bool fault) {
    if (fault) {
        return CellMark::kFault;
    }
    return TemperatureBand(celsius) == 2 ? CellMark::kNearLimit : CellMark::kNormal;
}

// The mark of every temperature a byte holds, looked up: readings scatter, and a branch
// per cell on them mispredicts.
template <typename Fault>
constexpr std::array<CellMark, 256> TemperatureMarks(Fault fault) {
    std::array<CellMark, 256> marks{};
    for (int celsius = 0; celsius < 256; ++celsius) {
        marks[static_cast<std::size_t>(celsius)] = TemperatureMark(celsius, fault(celsius));
    }
    return marks;
}
constexpr auto kTrmTemperatureMarks =
    TemperatureMarks([](int celsius) { return celsius > kTrmTemperatureLimit; });
constexpr auto kQdxaTemperatureMarks =
    TemperatureMarks([](int celsius) { return celsius >= kQdxaTemperatureFault; });

// What a reading shows in a module view's cell: its text, colour, mark and bar. The fields
// mirror the run of a cell's fields from text_colour to text, so a look is one copy.
struct ReadingLook {
    Colour text_colour = kBlack;
    std::int8_t bar_percent = -1;
    std::uint8_t band = 0;
    std::uint8_t word_count = 0;
    CellMark mark = CellMark::kNone;
    const char* text = nullptr;
};
constexpr std::size_t kLookStart = offsetof(Cell, text_colour);
static_assert(offsetof(Cell, bar_percent) - kLookStart == offsetof(ReadingLook, bar_percent));
static_assert(offsetof(Cell, band) - kLookStart == offsetof(ReadingLook, band));
static_assert(offsetof(Cell, word_count) - kLookStart == offsetof(ReadingLook, word_count));
static_assert(offsetof(Cell, mark) - kLookStart == offsetof(ReadingLook, mark));
static_assert(offsetof(Cell, text) - kLookStart == offsetof(ReadingLook, text));
static_assert(sizeof(ReadingLook) == offsetof(Cell, text) + sizeof(Cell::text) - kLookStart);

// The look of every value a byte holds, so that a cell costs one lookup and no branch.
template <typename Look>
constexpr std::array<ReadingLook, 256> ReadingLooks(Look look) {
    std::array<ReadingLook, 256> looks{};
    for (int value = 0; value < 256; ++value) {
        looks[static_cast<std::size_t>(value)] = look(value);
    }
    return looks;
}

template <typename Fault>
constexpr std::array<ReadingLook, 256> TemperatureLooks(Fault fault) {
    return ReadingLooks([&](int celsius) {
        return ReadingLook{.text_colour = FaultText(fault(celsius)),
                           .bar_percent = static_cast<std::int8_t>(TemperatureBarPercent(celsius)),
                           .band = static_cast<std::uint8_t>(TemperatureBand(celsius)),
                           .mark = TemperatureMark(celsius, fault(celsius)),
                           .text = NumberText(celsius)};
    });
}
constexpr auto kTrmTemperatureLooks =
    TemperatureLooks([](int celsius) { return celsius > kTrmTemperatureLimit; });
constexpr auto kQdxaTemperatureLooks =
    TemperatureLooks([](int celsius) { return celsius >= kQdxaTemperatureFault; });

// A summary flag at 1 is a fault.
constexpr auto kSummaryLooks = ReadingLooks([](int flag) {
    return ReadingLook{.text_colour = FaultText(flag == 1),
                       .mark = FaultMark(flag == 1),
                       .text = NumberText(flag)};
});

// A digital-ID bit at 0 is a fault.
constexpr auto kDigitalIdLooks = ReadingLooks([](int bit) {
    return ReadingLook{.text_colour = bit == 0 ? kQdxaFaultText : kBlack,
                       .mark = FaultMark(bit == 0),
                       .text = NumberText(bit)};
});

// The QDX-A flags of rows E0..E3 by value: which value is the fault differs by row.
constexpr auto kQdxaFlagLooks = [] {
    std::array<std::array<ReadingLook, 2>, kElements> looks{};
    for (std::uint8_t flag = 0; flag < 2; ++flag) {
        const QRecord all{
            .qdxa_fault = flag, .qdxa_overtemp = flag, .qdxa_sp_ok = flag, .qdxa_voltage = flag};
        for (std::size_t e = 0; e < kElements; ++e) {
            const bool fault = QdxaFaults(all)[e];
            looks[e][flag] = {.text_colour = fault ? kQdxaFaultText : kBlack,
                              .mark = FaultMark(fault),
                              .text = NumberText(flag)};
        }
    }
    return looks;
}();

// A view without a bar writes the layout's "no bar" again, and every view with looks lays
// its cells out without words.
void ShowLook(Cell& cell, const ReadingLook& look) {
    std::memcpy(reinterpret_cast<char*>(&cell) + kLookStart, &look, sizeof look);
}

// The word colours of a supply cell by its flags, +32V first (bit 3): a flag at 0 is a fault.
constexpr auto kSupplyWordColours = [] {
    std::array<std::array<Colour, 4>, 16> colours{};
    for (unsigned bits = 0; bits < colours.size(); ++bits) {
        for (unsigned k = 0; k < 4; ++k) {
            colours[bits][k] = FaultText(((bits >> (3 - k)) & 1u) == 0);
        }
    }
    return colours;
}();

// The mask of a module whose every element shows its temperature.
constexpr std::uint32_t kAllShown = 0xFFFFFFFFu;

constexpr std::int16_t Coordinate(int value) {
    return static_cast<std::int16_t>(value);
}

// Element rows a module view shows per Q channel.
constexpr int ModuleViewRows(int view_type, bool qdxa_temperature) {
    return view_type == kViewDigitalId || (view_type == kViewQdxa && qdxa_temperature) ? 1
                                                                                       : kElements;
}

// The cells of the batch are Q-major: cell i is element i % rows of Q channel i / rows.
constexpr std::uint8_t ElementOf(std::size_t i, int rows) {
    return static_cast<std::uint8_t>(i % static_cast<std::size_t>(rows));
}
constexpr std::uint8_t QOf(std::size_t i, int rows) {
    return static_cast<std::uint8_t>(i / static_cast<std::size_t>(rows));
}

// The tooltip of every antenna cell of the view; the temperature view's depends on the mask.
constexpr TipKind AntennaTooltip(int view_type) {
    switch (view_type) {
        case kViewQdxa:
            return TipKind::kQTemperature;
        case kViewSummary:
            return TipKind::kFlag;
        case kViewTxRx:
            return TipKind::kTxRx;
        default:
            return TipKind::kKeep;
    }
}

// The fields of the module's antenna cells that stay from one pass of the view to the next.
void LayOutAntenna(int view_type, const ModuleRecord& record, CellBatch& cells) {
    const GridCell& place = kAntennaGrid[record.number];
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::uint8_t e = ElementOf(i, kElements);
        const std::uint8_t q = QOf(i, kElements);
        cells[i] = Cell{
            .row = Coordinate(place.row + e),
            .column = Coordinate(place.column + q),
            .text = "",
            .tip = {
                .kind = AntennaTooltip(view_type), .element = e, .q = q, .module = record.number}};
    }
}

// Antenna view: the fields of every element cell of the module that the layout leaves
// open, colour and tooltip from `paint`.
template <typename Paint>
std::size_t PaintAntenna(const ModuleRecord& record, CellBatch& cells, Paint paint) {
    std::size_t n = 0;
    for (int q = 0; q < kQChannels; ++q) {
        const QRecord& rec = record.q[static_cast<std::size_t>(q)];
        for (int e = 0; e < kElements; ++e) {
            Cell& cell = cells[n++];
            CellMark mark = CellMark::kNone;
            const Colour colour = paint(rec, static_cast<std::size_t>(e), q, cell.tip, mark);
            cell.mark = mark;
            cell.background = colour;
            cell.text_colour = colour;
        }
    }
    return n;
}

std::size_t AntennaCells(const ModuleRecord& record, int view_type,
                         const TemperaturePalette* palette, std::uint32_t mask, CellBatch& cells) {
    switch (view_type) {
        case kViewTemperature:
            return PaintAntenna(
                record, cells,
                [&](const QRecord& rec, std::size_t e, int q, CellTip& tip, CellMark& mark) {
                    if (mask != kAllShown && !TemperatureShown(mask, static_cast<int>(e), q)) {
                        tip.kind = TipKind::kPosition;
                        tip.value = 0;
                        return palette->null_colour();
                    }
                    tip.kind = TipKind::kTemperature;
                    tip.value = rec.temp[e];
                    mark = kTrmTemperatureMarks[rec.temp[e]];
                    return palette->OfTemperature(rec.temp[e]);
                });
        case kViewQdxa:
            return PaintAntenna(
                record, cells,
                [&](const QRecord& rec, std::size_t, int, CellTip& tip, CellMark& mark) {
                    tip.value = rec.qdxa_temp;
                    mark = kQdxaTemperatureMarks[rec.qdxa_temp];
                    return palette->OfTemperature(rec.qdxa_temp);
                });
        case kViewSummary:
            return PaintAntenna(
                record, cells,
                [](const QRecord& rec, std::size_t e, int, CellTip& tip, CellMark& mark) {
                    tip.value = rec.trm_status[e];
                    mark = FaultMark(rec.trm_status[e] == 1);
                    return rec.trm_status[e] == 1 ? kSummaryFault : kSummaryNormal;
                });
        case kViewTxRx:
            return PaintAntenna(
                record, cells,
                [](const QRecord& rec, std::size_t e, int, CellTip& tip, CellMark& mark) {
                    tip.value = rec.tx[e];
                    tip.value2 = rec.rx[e];
                    mark = FaultMark(rec.tx[e] == 1);
                    return rec.tx[e] == 1 ? kTxFault : kTxNormal;
                });
        default:
            return 0;
    }
}

// Module view: the texts and tooltips every cell of the view shares with the same cell of
// the next module.
void LayOutModuleView(int view_type, const ModuleViewDisplay& display, CellBatch& cells) {
    const int rows = ModuleViewRows(view_type, display.qdxa_temperature);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        Cell& cell = cells[i];
        cell = Cell{};
        cell.tip.kind = ModuleViewTooltip(view_type, display.qdxa_temperature, ElementOf(i, rows));
        if (view_type == kViewTxRx) {
            cell.text = display.numeric ? nullptr : "Tx Rx";
            cell.text_colour = kBlack;
            cell.word_count = 2;
            cell.word_colours[1] = kBlack;
        } else if (view_type == kViewVoltage) {
            cell.text = display.numeric ? nullptr : "32 9 5 -5";
            cell.text_colour = kBlack;
            cell.word_count = 4;
        }
    }
}

// Module view: the fields of rows first_row .. first_row + Rows - 1 that the layout leaves
// open, from `fill`. The element loop is unrolled, so that a fill picking element e of a
// record's fields reads it straight from the record.
template <int Rows, typename Fill>
std::size_t FillModuleView(const ModuleRecord& record, int first_row, int first_column,
                           CellBatch& cells, Fill fill) {
    std::size_t n = 0;
    for (int q = 0; q < kQChannels; ++q) {
        const QRecord& rec = record.q[static_cast<std::size_t>(q)];
#pragma GCC unroll 4
        for (int e = 0; e < Rows; ++e) {
            Cell& cell = cells[n++];
            cell.row = Coordinate(first_row + e);
            cell.column = Coordinate(first_column + q);
            fill(rec, static_cast<std::size_t>(e), cell);
        }
    }
    return n;
}

std::size_t ModuleViewCells(const ModuleRecord& record, int view_type, int first_row,
                            int first_column, const ModuleViewDisplay& display, CellBatch& cells) {
    switch (view_type) {
        case kViewSummary:
            return FillModuleView<kElements>(record, first_row, first_column, cells,
                                             [](const QRecord& rec, std::size_t e, Cell& cell) {
                                                 ShowLook(cell, kSummaryLooks[rec.trm_status[e]]);
                                             });
        case kViewTemperature:
            return FillModuleView<kElements>(record, first_row, first_column, cells,
                                             [](const QRecord& rec, std::size_t e, Cell& cell) {
                                                 ShowLook(cell, kTrmTemperatureLooks[rec.temp[e]]);
                                             });
        case kViewTxRx:
            return FillModuleView<kElements>(
                record, first_row, first_column, cells,
                [&](const QRecord& rec, std::size_t e, Cell& cell) {
                    if (display.numeric) {
                        cell.text =
                            FlagValuesText(static_cast<unsigned>(rec.tx[e] << 1 | rec.rx[e]), 2);
                    }
                    cell.word_colours[0] = FaultText(rec.tx[e] == 1);
                    cell.mark = FaultMark(rec.tx[e] == 1);
                });
        case kViewVoltage:
            return FillModuleView<kElements>(record, first_row, first_column, cells,
                                             [&](const QRecord& rec, std::size_t e, Cell& cell) {
                                                 const unsigned bits = rec.supply[e];
                                                 if (display.numeric) {
                                                     cell.text = FlagValuesText(bits, 4);
                                                 }
                                                 cell.word_colours =
                                                     kSupplyWordColours[bits & 0xFu];
                                                 cell.mark = FaultMark(bits != 0xF);
                                             });
        case kViewQdxa:
            if (display.qdxa_temperature) {
                return FillModuleView<1>(record, first_row, first_column, cells,
                                         [](const QRecord& rec, std::size_t, Cell& cell) {
                                             ShowLook(cell, kQdxaTemperatureLooks[rec.qdxa_temp]);
                                         });
            }
            return FillModuleView<kElements>(
                record, first_row, first_column, cells,
                [](const QRecord& rec, std::size_t e, Cell& cell) {
                    // Decoded flags are 0 or 1.
                    ShowLook(cell, kQdxaFlagLooks[e][QdxaFlags(rec)[e] & 1u]);
                });
        case kViewDigitalId:
            return FillModuleView<1>(record, first_row, first_column, cells,
                                     [](const QRecord& rec, std::size_t, Cell& cell) {
                                         ShowLook(cell, kDigitalIdLooks[rec.digital_id]);
                                     });
        default:
            return 0;
    }
}

Cell PositionCell(int module, int faults) {
    const GridCell& place = kPositionCells[static_cast<std::size_t>(module)];
    return Cell{.row = Coordinate(place.row),
                .column = Coordinate(place.column),
                .background = faults != 0 ? kModuleFaultBackground : kModuleNormalBackground,
                .text_colour = faults != 0 ? kModuleFaultText : kModuleNormalText,
                .mark = FaultMark(faults != 0)};
}

}  // namespace

TipKind ModuleViewTooltip(int view_type, bool qdxa_temperature, int element) {
    switch (view_type) {
        case kViewSummary:
            return TipKind::kSummaryReport;
        case kViewTemperature:
            return TipKind::kTemperatureLimit;
        case kViewVoltage:
            return TipKind::kVoltageReport;
        case kViewTxRx:
            return TipKind::kTxRxReport;
        case kViewQdxa:
            if (qdxa_temperature) {
                return TipKind::kTemperatureLimit;
            }
            return element == 1 ? TipKind::kQdxaActiveLow : TipKind::kQdxaActiveHigh;
        default:
            return TipKind::kKeep;
    }
}

StatusDecoder::StatusDecoder(ModuleTable& table, const ReportMemory& report,
                             const SharedSettings& shared)
    : table_(table), report_(report), shared_(shared) {}

void StatusDecoder::LayOut(const BatchLayout& layout) {
    if (layout == layout_) {
        return;
    }
    layout_ = layout;
    LayOutModuleView(layout.view_type,
                     {.numeric = layout.numeric, .qdxa_temperature = layout.qdxa_temperature},
                     batch_);
}

void StatusDecoder::LayOutAntennaView(int view_type) {
    if (view_type == antenna_view_) {
        return;
    }
    antenna_view_ = view_type;
    antenna_.resize(table_.records.size());
    for (std::size_t module = 0; module < antenna_.size(); ++module) {
        LayOutAntenna(view_type, table_.records[module], antenna_[module]);
    }
}

int StatusDecoder::DecodeModule(int module, int view_type, CellSink* display) {
    ModuleRecord* record = table_.Find(module);
    if (record == nullptr) {
        return -1;
    }
    if (!DecodeFields(report_, *record, view_type) || display == nullptr) {
        return 0;
    }
    std::optional<TemperaturePalette> palette;
    if (view_type == kViewTemperature || view_type == kViewQdxa) {
        palette.emplace(shared_.temp_colours);
    }
    LayOutAntennaView(view_type);
    CellBatch& cells = antenna_[static_cast<std::size_t>(module)];
    const std::size_t n = AntennaCells(*record, view_type, palette ? &*palette : nullptr,
                                       shared_.temp_masks[static_cast<std::size_t>(module)], cells);
    if (n != 0) {
        display->SetCells(std::span<const Cell>(cells.data(), n));
    }
    return 0;
}

int StatusDecoder::DecodeAntenna(int view_type, CellSink* display) {
    if (!table_.built()) {
        return -1;
    }
    const TemperaturePalette palette(shared_.temp_colours);
    LayOutAntennaView(view_type);
    for (int module = 0; module < kModuleCount; ++module) {
        ModuleRecord& record = table_.records[static_cast<std::size_t>(module)];
        if (!DecodeFields(report_, record, view_type) || display == nullptr) {
            continue;
        }
        CellBatch& cells = antenna_[static_cast<std::size_t>(module)];
        const std::size_t n =
            AntennaCells(record, view_type, &palette,
                         shared_.temp_masks[static_cast<std::size_t>(module)], cells);
        if (n != 0) {
            display->SetCells(std::span<const Cell>(cells.data(), n));
        }
    }
    return 0;
}

int StatusDecoder::DecodeModuleView(int module, int view_type, int first_row, int first_column,
                                    const ModuleViewDisplay* display) {
    ModuleRecord* record = table_.Find(module);
    if (record == nullptr) {
        return -1;
    }
    if (!DecodeFields(report_, *record, view_type) || display == nullptr) {
        return 0;
    }
    if (display->module_grid != nullptr) {
        LayOut({.view_type = view_type,
                .numeric = display->numeric,
                .qdxa_temperature = display->qdxa_temperature});
        const std::size_t n =
            ModuleViewCells(*record, view_type, first_row, first_column, *display, batch_);
        if (latches_ != nullptr) {
            MarkLatched(*latches_, module, view_type, static_cast<int>(n) / kQChannels,
                        std::span<Cell>(batch_.data(), n));
        }
        display->module_grid->SetCells(std::span<const Cell>(batch_.data(), n));
    }
    if (display->position_grid != nullptr) {
        Cell cell =
            PositionCell(module, ModuleFaultCount(*record, view_type, display->qdxa_temperature));
        if (latches_ != nullptr && cell.mark == CellMark::kNormal &&
            !(view_type == kViewQdxa && display->qdxa_temperature) &&
            ModuleLatched(*latches_, module, view_type)) {
            cell.mark = CellMark::kLatched;
        }
        display->position_grid->SetCells(std::span<const Cell>(&cell, 1));
    }
    return 0;
}

}  // namespace vantu
