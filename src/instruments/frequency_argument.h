// The frequency argument of the marker, centre and span commands: command word,
// value and unit separated by single spaces.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantu {

struct FrequencyArgument {
    double value = 0.0;
    // The last word of the line, as ANSI text.
    std::string unit;
};

// A line with one word after the command word gives that word as the unit and 0.
FrequencyArgument ParseFrequencyArgument(std::string_view line);

// A value that stays a finite number of Hz in every unit, GHz the largest: "nan",
// "inf" and "1e300" are not.
bool IsSendableFrequency(double value);

// Hz per unit word (GHz not for a span); none for a word the analysis software does not
// accept.
std::optional<double> FrequencyUnit(const std::string& unit, bool span);

}  // namespace vantu
