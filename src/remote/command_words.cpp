#include "remote/command_words.h"

namespace vantu {

std::string_view FirstWord(std::string_view text) {
    return text.substr(0, text.find(' '));
}

std::string_view LastWord(std::string_view text) {
    const std::size_t space = text.rfind(' ');
    return space == std::string_view::npos ? text : text.substr(space + 1);
}

std::string_view TextAfterFirstSpace(std::string_view text) {
    const std::size_t space = text.find(' ');
    return space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
}

bool HasArgumentText(std::string_view line, std::string_view word) {
    return line.size() > word.size() && line[word.size()] == ' ';
}

}  // namespace vantu
