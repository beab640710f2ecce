// Column widths and row heights of a grid, with the running edges that turn a cell
// into pixels and a pixel into a cell in logarithmic time.
#pragma once

#include <optional>
#include <span>
#include <vector>

namespace vantu {

struct CellIndex {
    int row = 0;
    int column = 0;
    bool operator==(const CellIndex&) const = default;
};

// A cell's pixels relative to the top-left corner of cell (0, 0).
struct CellBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const CellBox&) const = default;
};

class GridGeometry {
  public:
    GridGeometry(int rows, int columns, int column_width, int row_height);

    int rows() const { return static_cast<int>(row_edges_.size()) - 1; }
    int columns() const { return static_cast<int>(column_edges_.size()) - 1; }
    int total_width() const { return column_edges_.back(); }
    int total_height() const { return row_edges_.back(); }

    // Sizes below 0 count as 0; indexes outside the grid are ignored.
    void SetColumnWidth(int column, int width);
    void SetRowHeight(int row, int height);

    int ColumnLeft(int column) const { return column_edges_[static_cast<std::size_t>(column)]; }
    int RowTop(int row) const { return row_edges_[static_cast<std::size_t>(row)]; }
    // Callers pass cells inside the grid.
    CellBox CellRect(int row, int column) const;
    // The cell under a content pixel; none outside the grid.
    std::optional<CellIndex> CellAt(int x, int y) const;
    // The columns (or rows) that overlap the pixel span [from, to).
    std::pair<int, int> ColumnsIn(int from, int to) const { return Span(column_edges_, from, to); }
    std::pair<int, int> RowsIn(int from, int to) const { return Span(row_edges_, from, to); }

  private:
    static void Resize(std::vector<int>& edges, int index, int size);
    static std::optional<int> IndexAt(const std::vector<int>& edges, int pixel);
    static std::pair<int, int> Span(const std::vector<int>& edges, int from, int to);

    // edges[i] is the left (top) of column (row) i; the last entry is the total.
    std::vector<int> column_edges_;
    std::vector<int> row_edges_;
};

}  // namespace vantu
