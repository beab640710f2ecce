#include "instruments/frequency_argument.h"

#include <cmath>

#include "base/encoding.h"
#include "instruments/decimal_text.h"
#include "remote/command_words.h"

namespace vantu {

FrequencyArgument ParseFrequencyArgument(std::string_view line) {
    FrequencyArgument argument;
    const std::string_view args = TextAfterFirstSpace(line);
    if (args.find(' ') != std::string_view::npos) {
        argument.value = ParseLeadingDouble(FirstWord(args));
    }
    argument.unit = ToAnsi(LastWord(line));
    return argument;
}

bool IsSendableFrequency(double value) {
    return std::isfinite(value * 1e9);
}

std::optional<double> FrequencyUnit(const std::string& unit, bool span) {
    if (unit == "GHz" && !span) {
        return 1e9;
    }
    if (unit == "MHz") {
        return 1e6;
    }
    if (unit == "KHz") {
        return 1e3;
    }
    if (unit == "Hz") {
        return 1.0;
    }
    return std::nullopt;
}

}  // namespace vantu
