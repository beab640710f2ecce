// The TRM and QDX-A status pages as the core sees them: the view, the column half
// shown in the module grid, the two faces of the position table, and the interface
// words and fault totals. The page draws its grids through a surface (none when
// headless) and asks the controller to decode with a (10, request) command message.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "base/ports.h"
#include "controller/command_sink.h"
#include "status/cell_sink.h"
#include "status/module_page_views.h"
#include "status/module_requests.h"

namespace vantu {

// The module grid: 35 rows of seven module slots of five rows (header, E0..E3) under
// the Q header row, 10 columns (check box, label, Q0..Q7).
inline constexpr int kModuleGridRows = 35;
inline constexpr int kModuleGridColumns = 10;
inline constexpr int kModuleGridSlotRows = 5;
inline constexpr int kModuleGridLabelColumn = 1;
inline constexpr int kModuleGridFirstQColumn = 2;

inline constexpr Colour kModuleHeaderGrey = Rgb(200, 200, 200);
inline constexpr Colour kElementCheckerA = Rgb(145, 200, 255);
inline constexpr Colour kElementCheckerB = Rgb(230, 244, 255);
inline constexpr Colour kPositionCheckerGrey = Rgb(200, 200, 200);
inline constexpr Colour kPositionCheckerBlue = Rgb(145, 200, 255);
inline constexpr Colour kHalfHighlight = Rgb(0, 155, 0);
inline constexpr Colour kModuleHighlight = Rgb(165, 0, 165);

// What the page draws on; the Qt page implements it.
class ModulePageSurface {
  public:
    virtual ~ModulePageSurface() = default;
    virtual CellSink& module_grid() = 0;
    virtual CellSink& position_face() = 0;
    virtual CellSink& status_face() = 0;
    virtual void SetBarDisplay(bool on) = 0;
    // The check box of a module grid header row.
    virtual void UncheckRow(int row) = 0;
};

enum class PositionFace { kPosition, kStatus };

// One node of the module tree: "COL [%.2d] UP" / "DN" with its modules.
struct TreeNode {
    std::string label;
    int column = 0;
    bool lower = false;
    std::array<int, kMaxHalfModules> modules{};
};
std::span<const TreeNode> ModuleTreeNodes();
// "M%.3d".
const char* ModuleLabel(int module);

class ModuleStatusPage {
  public:
    ModuleStatusPage(ModulePageKind kind, CommandSink& commands, Prompts& prompts);

    // The view draws from here on; null draws nothing. Lays the grids out.
    void set_surface(ModulePageSurface* surface);

    // Radio button `choice` of ModulePageViews.
    void ChooseView(std::size_t choice);
    // Shows one half in the module grid and highlights it on the position face;
    // module -1 highlights no header.
    void ShowColumnHalf(int column, bool lower, int module);
    // A click on a module cell of the position table; other cells do nothing.
    void ClickPosition(int row, int column);
    void ShowFace(PositionFace face);
    // "更新全部狀態": false when the operator answered No, and nothing changed.
    bool AskRefreshAll();
    // "清除狀態訊息".
    void ClearStatusFace();
    // The hidden " 百分比", " 數值" and " 狀態" check boxes.
    void ShowBars();
    void ShowNumbers();
    void ShowStatusWords();
    // The timer-1 refresh: interface words 4 and 5 and the fault totals of word 6.
    void ShowAntennaWords(std::span<const std::uint32_t, 256> reg_sts);
    // Decodes the half in the module grid again, so its marks follow the fault history
    // (a fault acknowledged or newly latched); nothing before a half was shown.
    void Redecode();
    // While the report is stale a chosen view keeps the grids' last good picture.
    void set_report_stale(std::function<bool()> stale) { report_stale_ = std::move(stale); }
    // A readable report is in: a view chosen while it was stale is drawn now, otherwise
    // the half in the module grid is decoded again.
    void ReportReadableAgain();

    ModulePageKind kind() const { return kind_; }
    std::size_t view_choice() const { return view_choice_; }
    const ModulePageView& view() const;
    int column() const { return column_; }
    bool lower() const { return lower_; }
    int module() const { return module_; }
    PositionFace face() const { return face_; }
    bool refreshing_all() const { return refreshing_all_; }
    bool bars() const { return bars_; }
    bool numeric() const { return numeric_; }
    std::string_view grid_title() const { return grid_title_; }
    std::string_view position_title() const { return position_title_; }
    std::string_view slb_label() const { return slb_label_; }
    std::string_view main_label() const { return main_label_; }

    struct WordField {
        std::string text;
        Colour background = 0;
    };
    const WordField& sp_interface() const { return sp_interface_; }
    const WordField& internal_interface() const { return internal_interface_; }
    const std::string& slb_total() const { return slb_total_; }
    const std::string& main_total() const { return main_total_; }

  private:
    // Clears the grids and decodes the chosen view into them.
    void ShowView();
    void RefreshAll();
    // draw_grid false: the half is decoded for the status face only.
    void ShowHalf(int column, bool lower, int module, bool draw_grid);
    void ResetModuleGrid();
    void LayOutPositionFaces();
    void PaintHalf(int column, bool lower, bool highlighted);
    bool bar_display() const { return bars_ && view().temperature(); }

    ModulePageKind kind_;
    CommandSink& commands_;
    Prompts& prompts_;
    ModulePageSurface* surface_ = nullptr;

    std::size_t view_choice_ = 0;
    int column_ = 0;
    bool lower_ = false;
    int module_ = -1;
    PositionFace face_ = PositionFace::kPosition;
    bool refreshing_all_ = false;
    std::function<bool()> report_stale_;
    bool view_pending_ = false;
    bool bars_ = false;
    bool numeric_ = true;
    std::string_view grid_title_;
    std::string_view position_title_ = kPositionFaceTitle;
    std::string_view slb_label_;
    std::string_view main_label_;
    WordField sp_interface_;
    WordField internal_interface_;
    std::string slb_total_ = "0";
    std::string main_total_ = "0";

    // The half painted green on the position face; none before the first.
    int highlighted_column_ = -1;
    bool highlighted_lower_ = false;

    ModuleViewDisplay display_;
    ModuleViewDisplay status_only_;
    // A posted request that has not run yet decodes the newest half: by then the grid
    // shows that half's headers.
    ModuleViewRequest request_;
};

}  // namespace vantu
