// What a generator backend keeps of its errors: the instrument's error queue, which
// ErrorQuery reads one entry at a time, and the last failed call, which GetError
// reports once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "instruments/generator_driver.h"

namespace vantu {

struct GeneratorError {
    std::int32_t code = 0;
    std::string message;
};

class GeneratorErrors {
  public:
    // Keeps the failure for GetError and gives its status back.
    ViStatus Fail(ViStatus status, std::string message);
    void Queue(std::int32_t code, std::string message);
    void ClearQueue() { queue_.clear(); }

    // The oldest queued entry, or code 0 and "No error".
    ViStatus Query(std::int32_t& code, std::string& message);
    // The last failure, cut to what a buffer of size characters holds, then forgotten.
    ViStatus TakeLast(std::int32_t& code, std::size_t size, std::string& message);

  private:
    std::deque<GeneratorError> queue_;
    GeneratorError last_;
};

// Cuts text to size - 1 characters, as a C buffer of size holds it; size 0 cuts nothing.
void CutToBuffer(std::string& text, std::size_t size);

}  // namespace vantu
