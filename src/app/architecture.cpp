#include "app/architecture.h"

#include <sys/utsname.h>

#include <string_view>

namespace vantu {

ProcessorArchitecture NativeProcessorArchitecture() {
    utsname name{};
    if (::uname(&name) != 0) {
        return kArchitectureOther;
    }
    std::string_view machine = name.machine;
    if (machine == "x86_64" || machine == "amd64") {
        return kArchitectureAmd64;
    }
    if (machine == "i386" || machine == "i486" || machine == "i586" || machine == "i686") {
        return kArchitectureX86;
    }
    return kArchitectureOther;
}

}  // namespace vantu
