#include "instruments/generator_errors.h"

#include <utility>

namespace vantu {

ViStatus GeneratorErrors::Fail(ViStatus status, std::string message) {
    last_ = {status, std::move(message)};
    return status;
}

void GeneratorErrors::Queue(std::int32_t code, std::string message) {
    queue_.push_back({code, std::move(message)});
}

ViStatus GeneratorErrors::Query(std::int32_t& code, std::string& message) {
    if (queue_.empty()) {
        code = 0;
        message = "No error";
        return kViSuccess;
    }
    code = queue_.front().code;
    message = std::move(queue_.front().message);
    queue_.pop_front();
    return kViSuccess;
}

ViStatus GeneratorErrors::TakeLast(std::int32_t& code, std::size_t size, std::string& message) {
    code = last_.code;
    message = std::move(last_.message);
    CutToBuffer(message, size);
    last_ = {};
    return kViSuccess;
}

void CutToBuffer(std::string& text, std::size_t size) {
    if (size > 0 && text.size() >= size) {
        text.resize(size - 1);
    }
}

}  // namespace vantu
