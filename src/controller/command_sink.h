// The controller command message: (code, argument) pairs the pages hand to the main
// controller, either at once (Send) or after the current handler returns (Post).
#pragma once

#include <cstdint>

namespace vantu {

class CommandSink {
  public:
    virtual ~CommandSink() = default;
    virtual int Send(int code, std::intptr_t argument) = 0;
    virtual void Post(int code, std::intptr_t argument) = 0;
};

}  // namespace vantu
