// The processor architecture of the running system, in the numbering the station
// logs at start-up.
#pragma once

namespace vantu {

enum ProcessorArchitecture {
    kArchitectureX86 = 0,
    kArchitectureAmd64 = 9,
    kArchitectureOther = -1
};

ProcessorArchitecture NativeProcessorArchitecture();

}  // namespace vantu
