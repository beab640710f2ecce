// The antenna status page as the core sees it: the value cells of its 19 lists,
// rewritten by the page's timed refresh and kept while the tab is not shown.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "status/antenna_readings.h"

namespace vantu {

class AntennaStatusPage {
  public:
    AntennaStatusPage();

    // Every reading from the report host copy.
    void Refresh(std::span<const std::uint32_t, 256> reg_sts);

    // Value cell (row, value column) of list `list`; empty before the first refresh and
    // in the cells no reading fills.
    const ReadingValue& value(std::size_t list, int row, int column) const;
    int refreshes() const { return refreshes_; }

  private:
    std::vector<std::vector<ReadingValue>> values_;
    int refreshes_ = 0;
};

}  // namespace vantu
