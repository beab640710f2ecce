// Decimal numbers typed into the page's boxes or sent in remote lines: leading
// blanks skipped, the conversion stops at the first character that cannot continue
// the number, text without a number gives 0. Independent of the process locale.
// A number beyond the range of a double gives NaN, so that every range check refuses
// it rather than taking it for 0.
#pragma once

#include <string_view>

namespace vantu {

double ParseLeadingDouble(std::string_view text);

}  // namespace vantu
