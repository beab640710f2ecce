#include "status/temperature.h"

#include <string_view>

namespace vantu {
namespace {

struct PreparedLabel {
    int whole = 0;
    int lo = 0;
    int hi = 0;
};

int LeadingNumber(std::string_view text) {
    int value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') {
            break;
        }
        value = value * 10 + (ch - '0');
    }
    return value;
}

// Drops ">", "<" and blanks, then reads the number before and after the first "-".
PreparedLabel Prepare(std::string_view label) {
    char prepared[32];
    std::size_t length = 0;
    for (char ch : label) {
        if (ch != '>' && ch != '<' && ch != ' ' && length < sizeof prepared) {
            prepared[length++] = ch;
        }
    }
    std::string_view text(prepared, length);
    std::size_t dash = text.find('-');
    PreparedLabel result;
    result.whole = LeadingNumber(text);
    result.lo = LeadingNumber(text.substr(0, dash));
    result.hi = dash == std::string_view::npos ? 0 : LeadingNumber(text.substr(dash + 1));
    return result;
}

bool Matches(int celsius, int record, const PreparedLabel& label) {
    if (celsius >= 75) {
        return label.whole == 74 && label.hi == 0;
    }
    if (celsius < 5) {
        return label.whole == 5 && label.hi == 0;
    }
    int b = 5 * record;
    return 75 - b < celsius && celsius < 79 - b && label.lo < celsius && celsius < label.hi;
}

using PreparedLabels = std::array<PreparedLabel, kNullColourRecord>;

PreparedLabels PrepareLabels(const TempColourTable& table) {
    PreparedLabels labels;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i] = Prepare(table[i].label);
    }
    return labels;
}

int RecordOf(int celsius, const PreparedLabels& labels) {
    for (int i = 0; i < kNullColourRecord; ++i) {
        if (Matches(celsius, i, labels[static_cast<std::size_t>(i)])) {
            return i;
        }
    }
    return kNullColourRecord;
}

}  // namespace

int TemperatureRecord(int celsius, const TempColourTable& table) {
    return RecordOf(celsius, PrepareLabels(table));
}

Colour TemperatureColour(int celsius, const TempColourTable& table) {
    return table[static_cast<std::size_t>(TemperatureRecord(celsius, table))].colour;
}

TemperaturePalette::TemperaturePalette(const TempColourTable& table)
    : null_colour_(table[kNullColourRecord].colour) {
    // Each label is read once for all sixteen codes.
    const PreparedLabels labels = PrepareLabels(table);
    for (std::uint32_t code = 0; code < colours_.size(); ++code) {
        const int record = RecordOf(TemperatureFromCode(code), labels);
        colours_[code] = table[static_cast<std::size_t>(record)].colour;
        by_temperature_[static_cast<std::size_t>(TemperatureFromCode(code))] = colours_[code];
    }
}

}  // namespace vantu
