#include "instruments/decimal_text.h"

#include <charconv>
#include <limits>

namespace vantu {

double ParseLeadingDouble(std::string_view text) {
    std::size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string_view::npos) {
        return 0.0;
    }
    text.remove_prefix(pos);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto result =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (result.ec != std::errc{}) {
        return 0.0;
    }
    return negative ? -value : value;
}

}  // namespace vantu
