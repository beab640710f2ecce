// What the decoders hand to a grid view: cells with colours, texts, tooltips and bars.
// A cell holds only static texts and small numbers, so a whole pass over the antenna
// formats nothing; a view renders the tooltip with TooltipText when it stores it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/shared_settings.h"
#include "model/cell_mark.h"
#include "status/status_colours.h"

namespace vantu {

enum class TipKind : std::uint8_t {
    kKeep,           // the cell keeps its tooltip
    kFixed,          // the text `fixed` points to
    kFlag,           // "%d" of value
    kPosition,       // "模組 : %.3d\r\n位置 : E%d-Q%d"
    kTemperature,    // the position, then "\r\n溫度 : %d °C"
    kQTemperature,   // "模組 : %.3d\r\n位置 : Q%d\r\n溫度 : %d °C"
    kTxRx,           // the position, "\n" ("\n\n" for E3), the report and Tx/Rx values
    kSummaryReport,  // the fixed texts of the module views' element cells
    kTemperatureLimit,
    kVoltageReport,
    kTxRxReport,
    kQdxaActiveHigh,
    kQdxaActiveLow,
};

struct CellTip {
    TipKind kind = TipKind::kKeep;
    std::uint8_t element = 0;
    std::uint8_t q = 0;
    std::uint8_t value = 0;   // flag, temperature, Tx
    std::uint8_t value2 = 0;  // Rx
    std::uint16_t module = 0;
    // kFixed: a text that lives until the cell is next set.
    const char* fixed = nullptr;
};

std::string TooltipText(const CellTip& tip);

struct Cell {
    std::int16_t row = 0;
    std::int16_t column = 0;
    Colour background = kKeepColour;
    // text_colour ... text stay together and in this order: the module views copy them
    // from a table in one move.
    Colour text_colour = kKeepColour;
    // -1: a plain cell; else the bar length 0..100 drawn in band 0, 1 or 2.
    std::int8_t bar_percent = -1;
    std::uint8_t band = 0;
    // With word_count > 0 the text is blank-separated words, word i drawn in
    // word_colours[i]; otherwise it is drawn in text_colour.
    std::uint8_t word_count = 0;
    CellMark mark = CellMark::kNone;
    // A text that lives until the cell is next set (static for the decoders); null keeps
    // the cell's text.
    const char* text = nullptr;
    std::array<Colour, 4> word_colours{};
    CellTip tip{};
};

struct ColouredWord {
    std::string_view text;
    Colour colour = 0;
};
// The blank-separated words of a word cell with their colours.
std::vector<ColouredWord> CellWords(const Cell& cell);

class CellSink {
  public:
    virtual ~CellSink() = default;
    virtual void SetCells(std::span<const Cell> cells) = 0;
};

// Counts what it is handed; for tests and benchmarks.
class CountingSink : public CellSink {
  public:
    void SetCells(std::span<const Cell> batch) override {
        ++batches;
        cells += batch.size();
    }

    std::size_t cells = 0;
    std::size_t batches = 0;
};

// The texts of NumberText; in the header so that decoders can build tables of them.
inline constexpr auto kNumberTexts = [] {
    std::array<std::array<char, 4>, 256> texts{};
    for (int n = 0; n < 256; ++n) {
        auto& text = texts[static_cast<std::size_t>(n)];
        int i = 0;
        if (n >= 100) {
            text[static_cast<std::size_t>(i++)] = static_cast<char>('0' + n / 100);
        }
        if (n >= 10) {
            text[static_cast<std::size_t>(i++)] = static_cast<char>('0' + n / 10 % 10);
        }
        text[static_cast<std::size_t>(i)] = static_cast<char>('0' + n % 10);
    }
    return texts;
}();

// "0" ... "255".
constexpr const char* NumberText(int value) {
    return kNumberTexts[static_cast<std::size_t>(value & 0xFF)].data();
}

// Flags as "0 " / "1 " each, first flag first: bit count-1-i of `bits` is flag i.
const char* FlagValuesText(unsigned bits, int count);

}  // namespace vantu
