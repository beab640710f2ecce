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

bool ReportMemory::Captured(ReportArray which) const {
    const ReportArrayInfo& info = InfoOf(which);
    const std::size_t first = info.first_word / kReportBlockWords;
    const std::size_t last = (info.first_word + info.words - 1) / kReportBlockWords;
    for (std::size_t block = first; block <= last; ++block) {
        if (!captured_.test(block)) {
            return false;
        }
    }
    return true;
}

}  // namespace vantu
