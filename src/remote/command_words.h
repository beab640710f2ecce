// The words of a remote command line: the command word runs up to the first space,
// the last word starts after the last space.
#pragma once

#include <string_view>

namespace vantu {

// The text before the first space; all of it when there is none.
std::string_view FirstWord(std::string_view text);

// The text after the last space; all of it when there is none.
std::string_view LastWord(std::string_view text);

// The text after the first space; empty when there is none.
std::string_view TextAfterFirstSpace(std::string_view text);

// True when the character right after the command word is a space.
bool HasArgumentText(std::string_view line, std::string_view word);

}  // namespace vantu
