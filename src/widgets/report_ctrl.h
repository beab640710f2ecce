// CReportCtrl: the grid the status pages draw on. It paints the visible cells itself in
// one pass (no object per cell), so changing every cell of the whole-antenna grid and
// repainting once stays cheap on the GUI thread that also answers remote commands.
#pragma once

#include <QAbstractScrollArea>
#include <QFocusFrame>
#include <QLine>
#include <QRect>
#include <QStaticText>

#include <array>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "widgets/cell_glyphs.h"
#include "widgets/cell_tiles.h"
#include "widgets/grid_cells.h"
#include "widgets/grid_geometry.h"

namespace vantu {

class CReportCtrl : public QAbstractScrollArea {
    Q_OBJECT

  public:
    CReportCtrl(int rows, int columns, QWidget* parent = nullptr);

    // The cells; writing them schedules one repaint.
    GridCells& cells() { return cells_; }
    const GridCells& cells() const { return cells_; }
    int rows() const { return cells_.rows(); }
    int columns() const { return cells_.columns(); }

    void SetColumnWidth(int column, int width);
    void SetRowHeight(int row, int height);
    void SetAllRowHeights(int height);
    // A header row above the cells; no texts means no header.
    void SetHeaders(const std::vector<std::string>& texts, int height);

    void SetGridLines(bool on);
    bool grid_lines() const { return grid_lines_; }
    // Segments in content pixels (see CellRect), drawn over the cells.
    void SetOverlayLines(std::vector<QLine> lines);
    void SetOverlayColour(Colour colour);
    Colour overlay_colour() const { return overlay_colour_; }
    void SetOverlayVisible(bool on);
    bool overlay_visible() const { return overlay_visible_; }
    const std::vector<QLine>& overlay_lines() const { return overlay_lines_; }
    // Cells carrying a bar value draw it as a bar instead of plain text.
    void SetBarDisplay(bool on);
    bool bar_display() const { return bar_display_; }
    void SetBandColours(const std::array<Colour, 3>& colours);
    // The state glyphs beside the colours (✓ ✗ ▲ ?); off gives the plain coloured look.
    // A latched fault's ! is drawn either way: no colour carries it.
    void SetMarksShown(bool on);
    bool marks_shown() const { return marks_shown_; }
    // The cells hold data that could not be read again: hatched over, whatever they show.
    void SetStale(bool on);
    bool stale() const { return stale_; }

    // The cell's pixels relative to the top-left of cell (0, 0), before scrolling.
    QRect CellRect(int row, int column) const;
    // The cell under a viewport pixel.
    std::optional<CellIndex> CellAt(const QPoint& viewport_pos) const;
    // The cell's pixels in the viewport as shown now, header and scrolling applied.
    QRect ViewportCellRect(int row, int column) const;
    const std::vector<std::string>& headers() const { return headers_; }
    // The size the grid needs to show every cell without scrolling.
    QSize ContentSize() const;

  signals:
    void cellClicked(int row, int column);
    void cellRightClicked(int row, int column, QPoint global_pos);
    // The menu key or Shift+F10 while the grid has the focus; the position is global.
    void menuKeyPressed(QPoint global_pos);
    // Once per burst of cell changes, when the event loop next runs.
    void cellsChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The press did the work; the release is taken so it goes nowhere else.
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The focus frame shows which grid the keys go to.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    QPoint ContentOrigin() const;
    // Cells changed: cellsChanged and one data-changed event for accessibility clients
    // once control returns to the event loop, so a whole refresh is one event, not 5,000.
    void NoteCellsChanged();
    void UpdateScrollBars();
    void PaintHeader(class QPainter& painter, int first, int last);
    void PaintBackgrounds(class QPainter& painter, std::pair<int, int> rows,
                          std::pair<int, int> columns);
    // The cells' backgrounds and InImage glyphs, the changed cells redrawn into
    // cells_image_ at `scale` device pixels per pixel.
    void UpdateCellsImage(int scale);
    void DrawIntoImage(const TileTarget& target, int row, int column, int scale);
    bool HasContent(const GridCellState& cell) const {
        return cell.has_check || !cell.text.empty() || (bar_display_ && cell.bar_percent >= 0);
    }
    // The cell's glyph is drawn into the image: a pattern over a cell without content.
    // Antialiased glyphs are painted in place, where they blend exactly as before.
    bool InImage(const GridCellState& cell, const QRect& rect) const {
        return !HasContent(cell) && GetsPattern(rect);
    }
    // Check box, bar and text of a cell whose background is drawn.
    void PaintContent(class QPainter& painter, const QRect& rect, const GridCellState& cell);
    // Cell texts laid out once: the lists repaint the same few hundred numbers.
    const QStaticText& StaticText(const std::string& text);
    void PaintGridLines(class QPainter& painter, std::pair<int, int> rows,
                        std::pair<int, int> columns);
    bool MarkDrawn(CellMark mark) const {
        return mark != CellMark::kNone && (marks_shown_ || mark == CellMark::kLatched);
    }

    GridCells cells_;
    GridGeometry geometry_;
    std::vector<std::string> headers_;
    int header_height_ = 0;
    bool grid_lines_ = true;
    std::vector<QLine> overlay_lines_;
    Colour overlay_colour_ = kBlack;
    bool overlay_visible_ = true;
    bool bar_display_ = false;
    bool marks_shown_ = true;
    bool stale_ = false;
    std::array<Colour, 3> band_colours_;
    static constexpr std::size_t kTextCacheLimit = 4096;
    std::unordered_map<std::string, QStaticText> text_cache_;
    bool change_pending_ = false;
    QImage cells_image_;
    CellTiles tiles_;
    CellGlyphImages glyphs_;
    // Sizes or drawing options changed: every cell is drawn into the image again.
    bool redraw_all_ = true;
    QFocusFrame* focus_frame_ = nullptr;
};

}  // namespace vantu
