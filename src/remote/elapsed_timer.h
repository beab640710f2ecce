// The elapsed-time mark of a received message, kept by the main controller: taken when
// a message starts being processed, read by the commands that report their run time.
#pragma once

namespace vantu {

class ElapsedTimer {
  public:
    virtual ~ElapsedTimer() = default;
    virtual void MarkElapsedStart() = 0;
    // Microseconds since the last mark.
    virtual double ElapsedMicroseconds() = 0;
};

}  // namespace vantu
