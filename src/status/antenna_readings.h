// The antenna status page's 19 lists and the readings of `reg_sts` they show: which
// field of which word, its scale, format and limits, and where it goes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/shared_settings.h"

namespace vantu {

enum class AntennaGroup { kPower, kEnvironment, kDigital, kRf };

struct AntennaList {
    AntennaGroup group = AntennaGroup::kPower;
    std::string_view title;
    // The label column's header (may be empty), then one header per value column.
    std::string_view label_header;
    std::vector<std::string_view> value_headers;
    std::vector<std::string> row_labels;
    bool hidden = false;
};

// The lists in group order, as laid out once when the page is created.
std::span<const AntennaList> AntennaLists();

enum class ReadingFormat { kFixed2, kInteger, kBit };

struct Reading {
    std::size_t word = 0;
    // The field is (word >> shift) & mask.
    unsigned shift = 0;
    std::uint32_t mask = 0xFFFFFFFFu;
    double scale = 1.0;
    ReadingFormat format = ReadingFormat::kFixed2;
    std::optional<double> low;
    std::optional<double> high;
    std::size_t list = 0;
    int row = 0;
    int column = 0;  // value column
};

// Every reading of words 32-95 and 160-177, in word order.
std::span<const Reading> AntennaReadings();

struct ReadingValue {
    std::string text;
    // The reading has a limit, so the page can mark it within or outside.
    bool judged = false;
    // Outside its limits: drawn in red RGB(210,0,0).
    bool out_of_limits = false;
};

// One reading of the word: "%.2f" of the scaled field, "%d" or "%x" of the field. A
// value on a limit is within it.
ReadingValue EvaluateReading(const Reading& reading, std::uint32_t word);

}  // namespace vantu
