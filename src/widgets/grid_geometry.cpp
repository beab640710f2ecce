#include "widgets/grid_geometry.h"

#include <algorithm>

namespace vantu {
namespace {

std::vector<int> EvenEdges(int count, int size) {
    std::vector<int> edges(static_cast<std::size_t>(std::max(count, 0)) + 1);
    for (std::size_t i = 1; i < edges.size(); ++i) {
        edges[i] = edges[i - 1] + std::max(size, 0);
    }
    return edges;
}

}  // namespace

GridGeometry::GridGeometry(int rows, int columns, int column_width, int row_height)
    : column_edges_(EvenEdges(columns, column_width)), row_edges_(EvenEdges(rows, row_height)) {}

void GridGeometry::Resize(std::vector<int>& edges, int index, int size) {
    if (index < 0 || index + 1 >= static_cast<int>(edges.size())) {
        return;
    }
    const auto i = static_cast<std::size_t>(index);
    const int delta = std::max(size, 0) - (edges[i + 1] - edges[i]);
    for (std::size_t k = i + 1; k < edges.size(); ++k) {
        edges[k] += delta;
    }
}

void GridGeometry::SetColumnWidth(int column, int width) {
    Resize(column_edges_, column, width);
}

void GridGeometry::SetRowHeight(int row, int height) {
    Resize(row_edges_, row, height);
}

CellBox GridGeometry::CellRect(int row, int column) const {
    const auto r = static_cast<std::size_t>(row);
    const auto c = static_cast<std::size_t>(column);
    return {column_edges_[c], row_edges_[r], column_edges_[c + 1] - column_edges_[c],
            row_edges_[r + 1] - row_edges_[r]};
}

std::optional<int> GridGeometry::IndexAt(const std::vector<int>& edges, int pixel) {
    if (pixel < 0 || pixel >= edges.back()) {
        return std::nullopt;
    }
    // The last edge not beyond the pixel; zero-sized entries before it are skipped.
    const auto after = std::upper_bound(edges.begin(), edges.end(), pixel);
    return static_cast<int>(after - edges.begin()) - 1;
}

std::optional<CellIndex> GridGeometry::CellAt(int x, int y) const {
    const std::optional<int> column = IndexAt(column_edges_, x);
    const std::optional<int> row = IndexAt(row_edges_, y);
    if (!column || !row) {
        return std::nullopt;
    }
    return CellIndex{*row, *column};
}

std::pair<int, int> GridGeometry::Span(const std::vector<int>& edges, int from, int to) {
    const int count = static_cast<int>(edges.size()) - 1;
    const auto first = std::upper_bound(edges.begin(), edges.end(), std::max(from, 0));
    const auto last = std::lower_bound(edges.begin(), edges.end(), to);
    const int begin = std::max(static_cast<int>(first - edges.begin()) - 1, 0);
    const int end = std::min(static_cast<int>(last - edges.begin()), count);
    return {begin, std::max(begin, end)};
}

}  // namespace vantu
