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

}  // namespace vantu
