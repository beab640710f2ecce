// The main page's timed refresh (timer 1): the antenna module status list, every
// module of the whole-antenna grid in the page's display mode, and the six health
// indicators. Words and indicators are handed to the page only when they change, and
// nothing is handed over from report blocks not yet read from the card.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/shared_settings.h"
#include "status/cell_sink.h"
#include "status/report_memory.h"
#include "status/status_decoder.h"

namespace vantu {

enum class HealthIndicator : int {
    kPower,         // "電源"
    kEnvironment,   // "環控"
    kDigital,       // "數位"
    kRf,            // "射頻"
    kExciterInput,  // "EXCITER" input power
    kQtrmInput,     // "QTRM" input power
};
inline constexpr int kHealthIndicatorCount = 6;

// Cells of the antenna module status list that the refresh writes.
inline constexpr int kStatusSpRow = 1;        // QDX-C / SP interface, SLB total
inline constexpr int kStatusInternalRow = 4;  // internal interface, main antenna total
inline constexpr int kStatusInterfaceMarkColumn = 2;
inline constexpr int kStatusInterfaceColumn = 4;
inline constexpr int kStatusTotalMarkColumn = 5;
inline constexpr int kStatusTotalColumn = 7;

inline constexpr Colour kStatusTextColour = Rgb(250, 250, 250);
inline constexpr Colour kFaultTotalBackground = Rgb(120, 120, 120);

// A cell of the antenna module status list; the view copies the texts.
struct StatusCell {
    int row = 0;
    int column = 0;
    std::string_view text;
    Colour text_colour = kStatusTextColour;
    Colour background = 0;
    std::string_view tooltip;
};

// What the refresh draws on; the Qt main page implements it.
class MainPageSurface {
  public:
    virtual ~MainPageSurface() = default;
    virtual CellSink& antenna_grid() = 0;
    virtual void SetStatusCell(const StatusCell& cell) = 0;
    // The check mark of a status list row: set when abnormal or not 0.
    virtual void SetStatusMark(int row, int column, bool set) = 0;
    virtual void ShowIndicator(HealthIndicator indicator, bool healthy) = 0;
};

// The pair of state bytes of one indicator: which picture is shown; neither before
// the first report.
struct IndicatorShown {
    bool normal = false;
    bool fault = false;
};

class MainPageRefresh {
  public:
    MainPageRefresh(StatusDecoder& decoder, const ReportMemory& report,
                    const SharedSettings& shared);

    // One tick of timer 1. Without a surface the modules are still decoded.
    void Refresh(MainPageSurface* surface);

    const std::array<IndicatorShown, kHealthIndicatorCount>& indicators() const {
        return indicators_;
    }
    // A surface got the status words and the grid from blocks read from the card.
    bool showed_report() const { return showed_report_; }

  private:
    // Words of `reg_sts` as last shown; none before the first refresh.
    using ShownWord = std::optional<std::uint32_t>;

    void ShowInterface(MainPageSurface& surface, int row, std::size_t word_index, ShownWord& shown);
    void ShowFaultTotals(MainPageSurface& surface);
    void ShowIndicators(MainPageSurface& surface);

    StatusDecoder& decoder_;
    const ReportMemory& report_;
    const SharedSettings& shared_;
    ShownWord sp_interface_;
    ShownWord internal_interface_;
    ShownWord totals_;
    std::array<IndicatorShown, kHealthIndicatorCount> indicators_{};
    bool showed_report_ = false;
};

}  // namespace vantu
