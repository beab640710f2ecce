// Decoding of the report arrays into the module table, and the cells the antenna view
// (main page) and the module views (TRM and QDX-A status pages) show for it.
#pragma once

#include <array>
#include <vector>

#include "base/shared_settings.h"
#include "status/cell_sink.h"
#include "status/fault_history.h"
#include "status/module_fields.h"
#include "status/module_table.h"
#include "status/report_memory.h"

namespace vantu {

// Where a module view draws, and how. A null grid decodes without drawing.
struct ModuleViewDisplay {
    CellSink* module_grid = nullptr;
    // The page's position table: each decoded module's cell shows its fault count.
    CellSink* position_grid = nullptr;
    // TM2 and TM3 show the flag values instead of the words.
    bool numeric = false;
    // TM1 shows the QDX-A temperatures instead of the four QDX-A flags.
    bool qdxa_temperature = false;
};

// The tooltip of an element cell of a module view (element row 0..3); kKeep for TM8.
TipKind ModuleViewTooltip(int view_type, bool qdxa_temperature, int element);

class StatusDecoder {
  public:
    StatusDecoder(ModuleTable& table, const ReportMemory& report, const SharedSettings& shared);

    // Antenna view: decodes module 0..160 and, with a display, hands its element cells
    // (display modes 1, 2, 4 and 5; other view types only decode). 0, or -1 when the
    // module table is missing or the number is outside it.
    int DecodeModule(int module, int view_type, CellSink* display);
    // DecodeModule for modules 0..160 in order, the colour table resolved once.
    int DecodeAntenna(int view_type, CellSink* display);

    // Module view: element (E, Q q) at (first_row + E, first_column + q). 0, or -1 as
    // DecodeModule.
    int DecodeModuleView(int module, int view_type, int first_row, int first_column,
                         const ModuleViewDisplay* display);

    // Module views mark the faults this history holds latched; null marks none.
    void set_latches(const FaultHistory* history) { latches_ = history; }

  private:
    using CellBatch = std::array<Cell, kQChannels * kElements>;
    // What the module views' batch was laid out for: the cells of the next module of the
    // same layout differ only in the fields a decode writes.
    struct BatchLayout {
        int view_type = 0;
        bool numeric = false;
        bool qdxa_temperature = false;
        bool operator==(const BatchLayout&) const = default;
    };
    void LayOut(const BatchLayout& layout);
    // Each module's antenna cells keep their places and tooltip kinds from one pass of
    // the view to the next, so a pass writes only colours, marks and values.
    void LayOutAntennaView(int view_type);

    ModuleTable& table_;
    const ReportMemory& report_;
    const SharedSettings& shared_;
    const FaultHistory* latches_ = nullptr;
    // Reused for every module of a module view; each decode rewrites the fields that vary.
    CellBatch batch_{};
    BatchLayout layout_;
    std::vector<CellBatch> antenna_;
    int antenna_view_ = 0;
};

}  // namespace vantu
