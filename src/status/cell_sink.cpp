#include "status/cell_sink.h"

#include <cstdio>

namespace vantu {
namespace {

// Four flags per entry, "0 0 1 1 "; the last two of entries 0..3 serve two flags.
constexpr auto kFlagTexts = [] {
    std::array<std::array<char, 9>, 16> texts{};
    for (unsigned bits = 0; bits < 16; ++bits) {
        for (unsigned i = 0; i < 4; ++i) {
            texts[bits][2 * i] = ((bits >> (3 - i)) & 1u) != 0 ? '1' : '0';
            texts[bits][2 * i + 1] = ' ';
        }
    }
    return texts;
}();

std::string Position(const CellTip& tip) {
    char text[64];
    std::snprintf(text, sizeof text, "模組 : %.3d\r\n位置 : E%d-Q%d", tip.module, tip.element,
                  tip.q);
    return text;
}

}  // namespace

const char* FlagValuesText(unsigned bits, int count) {
    return count == 2 ? kFlagTexts[bits & 3u].data() + 4 : kFlagTexts[bits & 15u].data();
}

std::string TooltipText(const CellTip& tip) {
    char text[160];
    switch (tip.kind) {
        case TipKind::kKeep:
            return {};
        case TipKind::kFixed:
            return tip.fixed != nullptr ? tip.fixed : "";
        case TipKind::kSummaryReport:
            return "回報 : [0]-正常  [1]-異常 ";
        case TipKind::kTemperatureLimit:
            return "溫度上限值 55°C ";
        case TipKind::kVoltageReport:
            return "回報 : [0]-異常  [1]-正常\n+32V +9.5V +5V -6V";
        case TipKind::kTxRxReport:
            return "回報 : [0]-正常  [1]-異常\n[ Tx ]  [ Rx ]";
        case TipKind::kQdxaActiveHigh:
            return "回報 : [0]-異常  [1]-正常 ";
        case TipKind::kQdxaActiveLow:
            return "回報 : [1]-異常  [0]-正常 ";
        case TipKind::kFlag:
            return std::string(NumberText(tip.value));
        case TipKind::kPosition:
            return Position(tip);
        case TipKind::kTemperature:
            std::snprintf(text, sizeof text, "%s\r\n溫度 : %d °C", Position(tip).c_str(),
                          tip.value);
            return text;
        case TipKind::kQTemperature:
            std::snprintf(text, sizeof text, "模組 : %.3d\r\n位置 : Q%d\r\n溫度 : %d °C",
                          tip.module, tip.q, tip.value);
            return text;
        case TipKind::kTxRx:
            std::snprintf(
                text, sizeof text, "%s\n%s回報 : [0]-正常  [1]-異常\n狀態 : Tx[%d]  Rx[%d]",
                Position(tip).c_str(), tip.element == 3 ? "\n" : "", tip.value, tip.value2);
            return text;
    }
    return {};
}

std::vector<ColouredWord> CellWords(const Cell& cell) {
    std::vector<ColouredWord> words;
    std::string_view rest = cell.text != nullptr ? cell.text : "";
    while (words.size() < cell.word_count) {
        std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(start);
        std::size_t end = rest.find(' ');
        words.push_back({rest.substr(0, end), cell.word_colours[words.size()]});
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    }
    return words;
}

}  // namespace vantu
