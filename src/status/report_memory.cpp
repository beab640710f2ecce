#include "status/report_memory.h"

namespace vantu {

ReportArray ArrayOfWord(std::size_t word) {
    for (std::size_t i = kReportArrays.size(); i-- > 0;) {
        if (word >= kReportArrays[i].first_word) {
            return static_cast<ReportArray>(i);
        }
    }
    return ReportArray::kSts;
}

}  // namespace vantu
