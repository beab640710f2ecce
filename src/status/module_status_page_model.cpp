#include "status/module_status_page_model.h"

#include <cstdio>
#include <vector>

#include "controller/controller_commands.h"
#include "status/subsystem_health.h"

namespace vantu {
namespace {

constexpr std::array<const char*, kQChannels> kQHeaders = {"Q0", "Q1", "Q2", "Q3",
                                                           "Q4", "Q5", "Q6", "Q7"};
constexpr std::array<const char*, kElements> kElementLabels = {"E0", "E1", "E2", "E3"};
// The four QDX-A flags in row order, and what their label cells say on hover.
constexpr std::array<const char*, kElements> kQdxaLabels = {"故障", "高溫", "SP", "電壓"};
constexpr std::array<const char*, kElements> kQdxaLabelTips = {"QDX-A 故障", "溫度過高",
                                                               "SP_QDX_OK", "電壓狀態"};

constexpr std::int16_t Coordinate(int value) {
    return static_cast<std::int16_t>(value);
}

CellTip FixedTip(const char* text) {
    return CellTip{.kind = TipKind::kFixed, .fixed = text};
}

// The SLB module's cell lies outside the main antenna's outline, always grey.
bool IsSlbCell(int row, int column) {
    const GridCell& slb = kPositionCells[kSlbModule];
    return row == slb.row && column == slb.column;
}

Colour PositionFaceBackground(int row, int column) {
    if (IsSlbCell(row, column)) {
        return kPositionCheckerGrey;
    }
    if (IsOutsideOutline(row, column)) {
        return kWhite;
    }
    if (PositionCellModule(row, column) < 0) {
        return kPositionCheckerGrey;
    }
    return (row + column) % 2 == 0 ? kPositionCheckerGrey : kPositionCheckerBlue;
}

Colour StatusFaceBackground(int row, int column) {
    return IsOutsideOutline(row, column) && !IsSlbCell(row, column) ? kWhite
                                                                    : kModuleNormalBackground;
}

// Every cell of a face: module numbers, column numbers in the header row.
std::vector<Cell> FaceCells(Colour (*background)(int, int)) {
    std::vector<Cell> cells;
    for (int row = 0; row < kPositionGridSize; ++row) {
        for (int column = 0; column < kPositionGridSize; ++column) {
            const int module = PositionCellModule(row, column);
            const char* text = "";
            if (module >= 0) {
                text = NumberText(module);
            } else if (row == 0 && column > 0) {
                text = NumberText(column - 1);
            }
            cells.push_back(Cell{.row = Coordinate(row),
                                 .column = Coordinate(column),
                                 .background = background(row, column),
                                 .text_colour = kBlack,
                                 .text = text,
                                 .tip = FixedTip("")});
        }
    }
    return cells;
}

std::array<TreeNode, 2 * kColumns> BuildTree() {
    std::array<TreeNode, 2 * kColumns> nodes;
    for (int column = 0; column < kColumns; ++column) {
        for (int half = 0; half < 2; ++half) {
            char label[24];
            std::snprintf(label, sizeof label, "COL [%.2d] %s", column, half == 0 ? "UP" : "DN");
            TreeNode& node = nodes[static_cast<std::size_t>(2 * column + half)];
            node.label = label;
            node.column = column;
            node.lower = half == 1;
            node.modules = ModulesOfHalf(HalfOfColumn(column, node.lower));
        }
    }
    return nodes;
}

}  // namespace

std::span<const TreeNode> ModuleTreeNodes() {
    static const std::array<TreeNode, 2 * kColumns> nodes = BuildTree();
    return nodes;
}

const char* ModuleLabel(int module) {
    static const auto labels = [] {
        std::array<std::array<char, 8>, kModuleCount> texts{};
        for (int m = 0; m < kModuleCount; ++m) {
            std::snprintf(texts[static_cast<std::size_t>(m)].data(), 8, "M%.3d", m);
        }
        return texts;
    }();
    return module >= 0 && module < kModuleCount ? labels[static_cast<std::size_t>(module)].data()
                                                : "";
}

ModuleStatusPage::ModuleStatusPage(ModulePageKind kind, CommandSink& commands, Prompts& prompts)
    : kind_(kind), commands_(commands), prompts_(prompts) {
    const ModulePageTexts texts = InitialModulePageTexts(kind);
    grid_title_ = texts.grid_title;
    slb_label_ = texts.slb_label;
    main_label_ = texts.main_label;
    sp_interface_ = {std::string(InterfaceStateText(true)), InterfaceStateBackground(true)};
    internal_interface_ = sp_interface_;
}

const ModulePageView& ModuleStatusPage::view() const {
    return ModulePageViews(kind_)[view_choice_];
}

void ModuleStatusPage::set_surface(ModulePageSurface* surface) {
    surface_ = surface;
    display_.module_grid = surface != nullptr ? &surface->module_grid() : nullptr;
    display_.position_grid = surface != nullptr ? &surface->status_face() : nullptr;
    if (surface == nullptr) {
        return;
    }
    LayOutPositionFaces();
    ResetModuleGrid();
}

void ModuleStatusPage::LayOutPositionFaces() {
    const std::vector<Cell> position = FaceCells(PositionFaceBackground);
    surface_->position_face().SetCells(position);
    const std::vector<Cell> status = FaceCells(StatusFaceBackground);
    surface_->status_face().SetCells(status);
    if (highlighted_column_ >= 0) {
        PaintHalf(highlighted_column_, highlighted_lower_, true);
    }
}

void ModuleStatusPage::ResetModuleGrid() {
    if (surface_ == nullptr) {
        return;
    }
    const ModulePageView& shown = view();
    const bool qdxa_labels =
        kind_ == ModulePageKind::kQdxa && shown.view_type == kViewQdxa && !shown.qdxa_temperature;
    std::array<Cell, kModuleGridRows * kModuleGridColumns> cells;
    std::size_t n = 0;
    for (int row = 0; row < kModuleGridRows; ++row) {
        const int element = row % kModuleGridSlotRows - 1;
        for (int column = 0; column < kModuleGridColumns; ++column) {
            Cell& cell = cells[n++];
            cell = Cell{.row = Coordinate(row),
                        .column = Coordinate(column),
                        .background = kWhite,
                        .text_colour = kBlack,
                        .text = "",
                        .tip = FixedTip("")};
            const int q = column - kModuleGridFirstQColumn;
            if (row == 0) {
                cell.background = kModuleHeaderGrey;
                cell.text = q >= 0 ? kQHeaders[static_cast<std::size_t>(q)] : "";
            } else if (element < 0) {
                continue;
            } else if (q >= 0) {
                cell.background = (row + column) % 2 == 0 ? kElementCheckerA : kElementCheckerB;
                const TipKind tip =
                    ModuleViewTooltip(shown.view_type, shown.qdxa_temperature, element);
                if (tip != TipKind::kKeep) {
                    cell.tip = CellTip{.kind = tip};
                }
            } else if (column == kModuleGridLabelColumn) {
                const auto e = static_cast<std::size_t>(element);
                if (qdxa_labels) {
                    cell.text = kQdxaLabels[e];
                    cell.tip = FixedTip(kQdxaLabelTips[e]);
                } else if (kind_ == ModulePageKind::kTrm) {
                    cell.text = kElementLabels[e];
                }
            }
        }
    }
    surface_->module_grid().SetCells(std::span<const Cell>(cells.data(), n));
    surface_->SetBarDisplay(bar_display());
}

void ModuleStatusPage::PaintHalf(int column, bool lower, bool highlighted) {
    if (surface_ == nullptr) {
        return;
    }
    std::array<Cell, kMaxHalfModules> cells;
    std::size_t n = 0;
    for (int module : ModulesOfHalf(HalfOfColumn(column, lower))) {
        if (module < 0) {
            continue;
        }
        const GridCell& place = kPositionCells[static_cast<std::size_t>(module)];
        cells[n++] =
            Cell{.row = Coordinate(place.row),
                 .column = Coordinate(place.column),
                 .background = highlighted ? kHalfHighlight
                                           : PositionFaceBackground(place.row, place.column)};
    }
    surface_->position_face().SetCells(std::span<const Cell>(cells.data(), n));
}

void ModuleStatusPage::ShowColumnHalf(int column, bool lower, int module) {
    ShowHalf(column, lower, module, true);
}

void ModuleStatusPage::ShowHalf(int column, bool lower, int module, bool draw_grid) {
    if (column < 0 || column >= kColumns) {
        return;
    }
    if (highlighted_column_ >= 0) {
        PaintHalf(highlighted_column_, highlighted_lower_, false);
    }
    PaintHalf(column, lower, true);
    highlighted_column_ = column;
    highlighted_lower_ = lower;
    const ColumnHalf half = HalfOfColumn(column, lower);
    if (draw_grid && surface_ != nullptr) {
        ResetModuleGrid();
        std::array<Cell, kMaxHalfModules> headers;
        std::size_t n = 0;
        for (int m : ModulesOfHalf(half)) {
            if (m < 0) {
                continue;
            }
            const int row = static_cast<int>(n) * kModuleGridSlotRows;
            headers[n++] = Cell{.row = Coordinate(row),
                                .column = Coordinate(kModuleGridLabelColumn),
                                .text_colour = m == module ? kModuleHighlight : kBlack,
                                .text = ModuleLabel(m)};
            surface_->UncheckRow(row);
        }
        surface_->module_grid().SetCells(std::span<const Cell>(headers.data(), n));
    }

    column_ = column;
    lower_ = lower;
    module_ = module;
    display_.numeric = numeric_;
    display_.qdxa_temperature = view().qdxa_temperature;
    status_only_ = display_;
    status_only_.module_grid = nullptr;
    request_ = MakeModuleViewRequest(half, view().view_type, draw_grid ? &display_ : &status_only_);
    const auto argument = reinterpret_cast<std::intptr_t>(&request_);
    // A refresh of all halves needs each half decoded before it moves on.
    if (refreshing_all_) {
        commands_.Send(kCodeModuleRequest, argument);
    } else {
        commands_.Post(kCodeModuleRequest, argument);
    }
}

void ModuleStatusPage::ChooseView(std::size_t choice) {
    if (choice >= ModulePageViews(kind_).size()) {
        return;
    }
    view_choice_ = choice;
    const ModulePageView& chosen = view();
    grid_title_ = chosen.grid_title;
    position_title_ = face_ == PositionFace::kStatus ? chosen.status_title : kPositionFaceTitle;
    if (!chosen.slb_label.empty()) {
        slb_label_ = chosen.slb_label;
        main_label_ = chosen.main_label;
    }
    if (chosen.view_type == kViewSummary) {
        numeric_ = true;
    }
    if (report_stale_ && report_stale_()) {
        view_pending_ = true;
        return;
    }
    ShowView();
}

void ModuleStatusPage::ShowView() {
    view_pending_ = false;
    ClearStatusFace();
    ResetModuleGrid();
    if (face_ == PositionFace::kStatus) {
        RefreshAll();
    } else {
        ShowColumnHalf(column_, lower_, module_);
    }
}

void ModuleStatusPage::ReportReadableAgain() {
    if (view_pending_) {
        ShowView();
    } else {
        Redecode();
    }
}

void ModuleStatusPage::ClickPosition(int row, int column) {
    const int module = PositionCellModule(row, column);
    if (module < 0) {
        return;
    }
    const ColumnHalf half = HalfOfModule(module);
    ShowColumnHalf(half.column, half.lower, module);
}

void ModuleStatusPage::ShowFace(PositionFace face) {
    face_ = face;
    position_title_ =
        face == PositionFace::kStatus ? StatusFaceTitle(kind_, view()) : kPositionFaceTitle;
}

bool ModuleStatusPage::AskRefreshAll() {
    if (!prompts_.AskYesNo(RefreshAllQuestion(kind_, view()))) {
        return false;
    }
    RefreshAll();
    return true;
}

void ModuleStatusPage::Redecode() {
    if (highlighted_column_ < 0 || refreshing_all_) {
        return;
    }
    request_ = MakeModuleViewRequest(HalfOfColumn(column_, lower_), view().view_type, &display_);
    commands_.Post(kCodeModuleRequest, reinterpret_cast<std::intptr_t>(&request_));
}

void ModuleStatusPage::RefreshAll() {
    const int column = column_;
    const bool lower = lower_;
    const int module = module_;
    refreshing_all_ = true;
    ClearStatusFace();
    // Nothing repaints before the refresh returns: the halves on the way colour the
    // status face, and only the last one is drawn in the module grid.
    for (int c = 0; c < kColumns; ++c) {
        ShowHalf(c, false, -1, false);
        ShowHalf(c, true, -1, false);
    }
    ShowColumnHalf(column, lower, module);
    refreshing_all_ = false;
}

void ModuleStatusPage::ClearStatusFace() {
    if (surface_ == nullptr) {
        return;
    }
    std::array<Cell, kModuleCount> cells;
    for (std::size_t m = 0; m < cells.size(); ++m) {
        const GridCell& place = kPositionCells[m];
        cells[m] = Cell{.row = Coordinate(place.row),
                        .column = Coordinate(place.column),
                        .background = kModuleNormalBackground,
                        .text_colour = kModuleNormalText};
    }
    surface_->status_face().SetCells(cells);
}

void ModuleStatusPage::ShowBars() {
    bars_ = true;
    ShowColumnHalf(column_, lower_, module_);
}

void ModuleStatusPage::ShowNumbers() {
    bars_ = false;
    numeric_ = true;
    ShowColumnHalf(column_, lower_, module_);
}

void ModuleStatusPage::ShowStatusWords() {
    numeric_ = false;
    ShowColumnHalf(column_, lower_, module_);
}

void ModuleStatusPage::ShowAntennaWords(std::span<const std::uint32_t, 256> reg_sts) {
    const auto show = [](WordField& field, std::uint32_t word) {
        const bool normal = InterfaceState(word);
        field.text = InterfaceStateText(normal);
        field.background = InterfaceStateBackground(normal);
    };
    show(sp_interface_, reg_sts[kSpInterfaceWord]);
    show(internal_interface_, reg_sts[kInternalInterfaceWord]);
    const FaultTotals totals = ReadFaultTotals(reg_sts);
    slb_total_ = FaultTotalText(totals.slb);
    main_total_ = FaultTotalText(totals.main);
}

}  // namespace vantu
