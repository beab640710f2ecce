#include "serial/firmware_page_model.h"

#include <array>
#include <cstdio>

#include "status/antenna_layout.h"
#include "status/status_colours.h"

namespace vantu {
namespace {

constexpr Colour kOddRow = Rgb(230, 244, 255);
constexpr Colour kEvenRow = Rgb(145, 200, 255);
constexpr Colour kAbsentModule = Rgb(150, 150, 150);

constexpr std::size_t kUnitSection = 448;
constexpr std::size_t kHighBytes = 112;
constexpr std::size_t kLowWords = 224;
constexpr int kNumberColumn = 1;
constexpr int kFirstReportWord = 8;

// Unit list: name and value columns of the two units in a row.
constexpr std::array<int, 2> kUnitNameColumns = {2, 5};
constexpr std::array<int, 2> kUnitValueColumns = {3, 6};

Colour RowColour(int row) {
    return row % 2 == 1 ? kOddRow : kEvenRow;
}

bool IsModuleValueColumn(int column) {
    return column >= 2 && column % 2 == 0;
}

std::string Printf(const char* format, auto... values) {
    char text[32];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

}  // namespace

UnitPosition UnitOfModule(int module) {
    const ModulePlace place = PlaceOfModule(module);
    return {place.column <= 7 ? 7 - place.column : place.column, place.index};
}

std::string UnitVersionText(std::uint16_t half) {
    const std::string text = Printf("%x", half);
    return text.size() > 2 ? text.substr(0, 1) + "." + text.substr(1) : text;
}

void InitFirmwarePage(FirmwarePageModel& page) {
    for (int row = 0; row < kUnitRows; ++row) {
        auto& cells = page.units[static_cast<std::size_t>(row)];
        cells[kNumberColumn].text = Printf("%d", row);
        for (int column : {2, 3, 5, 6}) {
            cells[static_cast<std::size_t>(column)].background = RowColour(row);
        }
        std::array<std::string, 2> names;
        if (row == 0) {
            names = {"QDX-A", "QDX-C"};
        } else if (row == 1) {
            names = {"RF_SW", "Exciter"};
        } else {
            names = {Printf("QDX_B%.2d", 2 * (row - 2) + 1), Printf("QDX_B%.2d", 2 * (row - 2))};
        }
        for (std::size_t i = 0; i < 2; ++i) {
            cells[static_cast<std::size_t>(kUnitNameColumns[i])].text = names[i];
        }
    }
    for (int row = 0; row < kModuleCount; ++row) {
        auto& cells = page.modules[static_cast<std::size_t>(row)];
        cells[kNumberColumn].text = Printf("M%.3d", row);
        for (int column = 2; column < kModuleListColumns; column += 2) {
            cells[static_cast<std::size_t>(column)].background = RowColour(row);
        }
    }
}

void ClearModuleList(FirmwarePageModel& page) {
    for (auto& cells : page.modules) {
        cells[kNumberColumn].background = kWhite;
        cells[kNumberColumn].mark = CellMark::kNone;
        for (int column = 0; column < kModuleListColumns; ++column) {
            if (IsModuleValueColumn(column)) {
                cells[static_cast<std::size_t>(column)].text.clear();
            }
        }
    }
}

void ShowModuleVersions(FirmwarePageModel& page, std::span<const std::uint8_t> block) {
    auto byte = [&block](std::size_t at) -> int { return at < block.size() ? block[at] : 0; };
    for (int module = 0; module < kModuleCount; ++module) {
        auto& cells = page.modules[static_cast<std::size_t>(module)];
        const UnitPosition where = UnitOfModule(module);
        const std::size_t section = static_cast<std::size_t>(where.unit) * kUnitSection;
        cells[kNumberColumn].background = kWhite;
        cells[kNumberColumn].mark = CellMark::kNone;
        for (int k = 0; k < kQChannels; ++k) {
            const std::size_t e = static_cast<std::size_t>(8 * where.position + k);
            FirmwareCell& cell = cells[static_cast<std::size_t>(16 - 2 * k)];
            cell.text_colour = kBlack;
            // A channel whose low word was cut off in a short reply shows as absent.
            const bool arrived = section + kLowWords + 2 * e + 1 < block.size();
            if (arrived && byte(section + e) == 1) {
                const int low =
                    byte(section + kLowWords + 2 * e) | byte(section + kLowWords + 2 * e + 1) << 8;
                cell.text = Printf("%.2x%.4x", byte(section + kHighBytes + e), low);
            } else {
                cell.text.clear();
                cells[kNumberColumn].background = kAbsentModule;
                cells[kNumberColumn].mark = CellMark::kNoData;
            }
        }
    }
}

void ShowUnitVersions(FirmwarePageModel& page, std::span<const std::uint32_t> reg_sts,
                      std::ostream& console) {
    for (int row = 0; row < kUnitRows; ++row) {
        const std::size_t word = static_cast<std::size_t>(kFirstReportWord + row);
        const std::uint32_t value = word < reg_sts.size() ? reg_sts[word] : 0;
        const std::array<std::uint16_t, 2> halves = {static_cast<std::uint16_t>(value >> 16),
                                                     static_cast<std::uint16_t>(value & 0xFFFF)};
        for (std::size_t i = 0; i < 2; ++i) {
            FirmwareCell& cell = page.units[static_cast<std::size_t>(row)]
                                           [static_cast<std::size_t>(kUnitValueColumns[i])];
            cell.text = UnitVersionText(halves[i]);
            cell.text_colour = kBlack;
        }
    }
    console << std::string(75, '-') << "\n\n";
}

int ModuleListSpin::Scroll(int position) {
    static constexpr std::array<int, 6> kDownRows = {0, 160, 135, 101, 67, 0};
    static constexpr std::array<int, 6> kUpRows = {0, 0, 102, 68, 34, 0};
    const bool down = position <= previous_;
    previous_ = position;
    if (down) {
        if (step_ > 1) {
            --step_;
        }
        return kDownRows[static_cast<std::size_t>(step_)];
    }
    if (step_ < 5) {
        ++step_;
    }
    return kUpRows[static_cast<std::size_t>(step_)];
}

}  // namespace vantu
