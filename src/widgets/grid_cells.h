// The cells of a grid widget: colours, texts, tooltips, check boxes and bars. The
// decoders write them through the cell sink; the widget only draws them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "status/cell_sink.h"
#include "status/status_colours.h"

namespace vantu {

struct GridCellState {
    Colour background = kWhite;
    Colour text_colour = kBlack;
    std::string text;
    // With word_count > 0 the blank-separated words of text each take their colour.
    std::uint8_t word_count = 0;
    std::array<Colour, 4> word_colours{};
    // -1: plain; else a bar of 0..100 percent in band 0, 1 or 2.
    std::int16_t bar_percent = -1;
    std::uint8_t band = 0;
    CellMark mark = CellMark::kNone;
    bool has_check = false;
    bool checked = false;
    // A decoder's tooltip, rendered only when asked for, on hover; with kKeep the
    // page's own text in tip_text.
    CellTip tip;
    std::string tip_text;
};

class GridCells : public CellSink {
  public:
    GridCells(int rows, int columns);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    bool Contains(int row, int column) const {
        return row >= 0 && row < rows_ && column >= 0 && column < columns_;
    }
    // The cell at (row, column); callers check Contains.
    const GridCellState& At(int row, int column) const { return cells_[Index(row, column)]; }

    // Cells outside the grid are ignored.
    void SetCells(std::span<const Cell> cells) override;

    void SetBackground(int row, int column, Colour colour);
    void SetTextColour(int row, int column, Colour colour);
    void SetText(int row, int column, std::string_view text);
    // Blank-separated words, word i drawn in colours[i].
    void SetWords(int row, int column, std::string_view text, std::span<const Colour> colours);
    void SetTooltip(int row, int column, std::string_view tooltip);
    void SetCheckBox(int row, int column, bool has_check);
    void SetChecked(int row, int column, bool checked);
    void SetBar(int row, int column, int percent, int band);
    void SetMark(int row, int column, CellMark mark);
    // Every cell back to white, black text, no text, tooltip, check box or bar.
    void Reset();

    // The tooltip text as the operator sees it on hover; empty when there is none.
    std::string Tooltip(int row, int column) const;

    // The cells whose look (not tooltip) may differ since the last ClearRedrawn, each
    // once, as row * columns + column; a batch that leaves a cell as it was names none.
    const std::vector<std::uint32_t>& to_redraw() const { return to_redraw_; }
    void ClearRedrawn();

    // Called after every change, so the widget can schedule one repaint.
    void set_on_change(std::function<void()> on_change) { on_change_ = std::move(on_change); }
    // Called instead after a change of one cell, when set, so only that cell repaints.
    void set_on_cell_change(std::function<void(int, int)> on_cell_change) {
        on_cell_change_ = std::move(on_cell_change);
    }

  private:
    std::size_t Index(int row, int column) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(column);
    }
    GridCellState* Find(int row, int column);
    void Redraw(std::size_t index);
    // The cell set from `cell`; true when its look changed.
    static bool Apply(const Cell& cell, GridCellState& state);
    void Changed();
    void CellChanged(int row, int column);

    int rows_;
    int columns_;
    std::vector<GridCellState> cells_;
    std::vector<std::uint32_t> to_redraw_;
    std::vector<bool> redraw_pending_;
    std::function<void()> on_change_;
    std::function<void(int, int)> on_cell_change_;
};

}  // namespace vantu
