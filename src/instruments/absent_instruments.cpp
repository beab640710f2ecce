#include "instruments/absent_instruments.h"

namespace vantu {

ViStatus AbsentGenerator::ErrorQuery(ViSession, std::int32_t& code, std::string& message) {
    code = 0;
    message.clear();
    return kNoGenerator;
}

ViStatus AbsentGenerator::GetError(ViSession, std::int32_t& code, std::size_t size,
                                   std::string& message) {
    code = kNoGenerator;
    message = kNoGeneratorText;
    if (size > 0 && message.size() >= size) {
        message.resize(size - 1);
    }
    return kViSuccess;
}

}  // namespace vantu
