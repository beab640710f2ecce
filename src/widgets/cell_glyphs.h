// The shapes that carry a cell's state beside its colour: ✓ ✗ ▲ ! ? at the left of a
// cell large enough for a glyph, a pattern over the whole of a small one, and the
// hatching over stale cells. Drawn as paths, so no font has to hold the symbols.
#pragma once

#include <QImage>
#include <QRect>

#include <cstddef>
#include <unordered_map>

#include "status/cell_sink.h"

class QPainter;

namespace vantu {

// Cells smaller than this in either direction get the pattern, not the glyph.
inline constexpr int kGlyphCellMinHeight = 12;
inline constexpr int kGlyphCellMinWidth = 24;
inline bool GetsPattern(const QRect& cell) {
    return cell.height() < kGlyphCellMinHeight || cell.width() < kGlyphCellMinWidth;
}

// Drawn in black or white, whichever stands out from the background, left of the
// cell's centred text of text_width pixels; into the top-left corner when the text
// leaves too little room.
void PaintCellGlyph(QPainter& painter, const QRect& cell, CellMark mark, Colour background,
                    int text_width);
void PaintStaleHatching(QPainter& painter, const QRect& area);

// PaintCellGlyph with each antialiased glyph rendered once per size, position within a
// pixel, mark, ink and pixel ratio, then copied: a module view repaints hundreds of
// marked cells, and stroking a glyph's curves and round caps costs many times the copy.
class CellGlyphImages {
  public:
    void Paint(QPainter& painter, const QRect& cell, CellMark mark, Colour background,
               int text_width);

  private:
    struct Key {
        int side = 0;
        bool half_down = false;  // the box starts half a pixel below the cell's row
        CellMark mark = CellMark::kNone;
        bool dark_ink = false;
        int scale = 1;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    const QImage& ImageOf(const Key& key);

    static constexpr std::size_t kImageLimit = 256;
    std::unordered_map<Key, QImage, KeyHash> images_;
};

}  // namespace vantu
