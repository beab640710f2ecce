#include "status/antenna_status_page_model.h"

namespace vantu {
namespace {

std::size_t CellIndex(const AntennaList& list, int row, int column) {
    return static_cast<std::size_t>(row) * list.value_headers.size() +
           static_cast<std::size_t>(column);
}

}  // namespace

AntennaStatusPage::AntennaStatusPage() {
    for (const AntennaList& list : AntennaLists()) {
        values_.emplace_back(list.row_labels.size() * list.value_headers.size());
    }
}

void AntennaStatusPage::Refresh(std::span<const std::uint32_t, 256> reg_sts) {
    const std::span<const AntennaList> lists = AntennaLists();
    for (const Reading& reading : AntennaReadings()) {
        values_[reading.list][CellIndex(lists[reading.list], reading.row, reading.column)] =
            EvaluateReading(reading, reg_sts[reading.word]);
    }
    ++refreshes_;
}

const ReadingValue& AntennaStatusPage::value(std::size_t list, int row, int column) const {
    static const ReadingValue kEmpty;
    const std::span<const AntennaList> lists = AntennaLists();
    if (list >= lists.size() || row < 0 || column < 0 ||
        static_cast<std::size_t>(row) >= lists[list].row_labels.size() ||
        static_cast<std::size_t>(column) >= lists[list].value_headers.size()) {
        return kEmpty;
    }
    return values_[list][CellIndex(lists[list], row, column)];
}

}  // namespace vantu
