#include "widgets/grid_cells.h"

#include <algorithm>

namespace vantu {

GridCells::GridCells(int rows, int columns)
    : rows_(std::max(rows, 0)),
      columns_(std::max(columns, 0)),
      cells_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_)),
      redraw_pending_(cells_.size()) {
    to_redraw_.reserve(cells_.size());
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        Redraw(i);
    }
}

GridCellState* GridCells::Find(int row, int column) {
    return Contains(row, column) ? &cells_[Index(row, column)] : nullptr;
}

void GridCells::Changed() {
    if (on_change_) {
        on_change_();
    }
}

void GridCells::CellChanged(int row, int column) {
    Redraw(Index(row, column));
    if (on_cell_change_) {
        on_cell_change_(row, column);
    } else {
        Changed();
    }
}

void GridCells::Redraw(std::size_t index) {
    if (!redraw_pending_[index]) {
        redraw_pending_[index] = true;
        to_redraw_.push_back(static_cast<std::uint32_t>(index));
    }
}

void GridCells::ClearRedrawn() {
    for (std::uint32_t index : to_redraw_) {
        redraw_pending_[index] = false;
    }
    to_redraw_.clear();
}

bool GridCells::Apply(const Cell& cell, GridCellState& state) {
    bool changed = false;
    const auto set = [&changed](auto& field, const auto& value) {
        changed = changed || field != value;
        field = value;
    };
    if (cell.background != kKeepColour) {
        set(state.background, cell.background);
    }
    if (cell.text_colour != kKeepColour) {
        set(state.text_colour, cell.text_colour);
    }
    if (cell.text != nullptr) {
        if (state.text != cell.text) {
            changed = true;
            state.text.assign(cell.text);
        }
        set(state.word_count, cell.word_count);
        set(state.word_colours, cell.word_colours);
    }
    set(state.bar_percent, static_cast<std::int16_t>(cell.bar_percent));
    set(state.band, cell.band);
    set(state.mark, cell.mark);
    if (cell.tip.kind != TipKind::kKeep) {
        state.tip = cell.tip;
    }
    return changed;
}

void GridCells::SetCells(std::span<const Cell> cells) {
    for (const Cell& cell : cells) {
        if (!Contains(cell.row, cell.column)) {
            continue;
        }
        const std::size_t index = Index(cell.row, cell.column);
        if (Apply(cell, cells_[index])) {
            Redraw(index);
        }
    }
    Changed();
}

void GridCells::SetBackground(int row, int column, Colour colour) {
    if (GridCellState* state = Find(row, column)) {
        state->background = colour;
        CellChanged(row, column);
    }
}

void GridCells::SetTextColour(int row, int column, Colour colour) {
    if (GridCellState* state = Find(row, column)) {
        state->text_colour = colour;
        CellChanged(row, column);
    }
}

void GridCells::SetText(int row, int column, std::string_view text) {
    if (GridCellState* state = Find(row, column)) {
        state->text.assign(text);
        state->word_count = 0;
        CellChanged(row, column);
    }
}

void GridCells::SetWords(int row, int column, std::string_view text,
                         std::span<const Colour> colours) {
    if (GridCellState* state = Find(row, column)) {
        state->text.assign(text);
        const std::size_t count = std::min(colours.size(), state->word_colours.size());
        std::copy_n(colours.begin(), count, state->word_colours.begin());
        state->word_count = static_cast<std::uint8_t>(count);
        CellChanged(row, column);
    }
}

void GridCells::SetTooltip(int row, int column, std::string_view tooltip) {
    if (GridCellState* state = Find(row, column)) {
        state->tip = CellTip{};
        state->tip_text.assign(tooltip);
        CellChanged(row, column);
    }
}

void GridCells::SetCheckBox(int row, int column, bool has_check) {
    if (GridCellState* state = Find(row, column)) {
        state->has_check = has_check;
        CellChanged(row, column);
    }
}

void GridCells::SetChecked(int row, int column, bool checked) {
    if (GridCellState* state = Find(row, column)) {
        state->checked = checked;
        CellChanged(row, column);
    }
}

void GridCells::SetBar(int row, int column, int percent, int band) {
    if (GridCellState* state = Find(row, column)) {
        state->bar_percent = static_cast<std::int16_t>(std::clamp(percent, 0, 100));
        state->band = static_cast<std::uint8_t>(std::clamp(band, 0, 2));
        CellChanged(row, column);
    }
}

void GridCells::SetMark(int row, int column, CellMark mark) {
    if (GridCellState* state = Find(row, column)) {
        state->mark = mark;
        CellChanged(row, column);
    }
}

void GridCells::Reset() {
    std::fill(cells_.begin(), cells_.end(), GridCellState{});
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        Redraw(i);
    }
    Changed();
}

std::string GridCells::Tooltip(int row, int column) const {
    if (!Contains(row, column)) {
        return {};
    }
    const GridCellState& state = At(row, column);
    if (state.tip.kind == TipKind::kKeep) {
        return state.tip_text;
    }
    return TooltipText(state.tip);
}

}  // namespace vantu
