// The shapes that carry a cell's state beside its colour: ✓ ✗ ▲ ! ? at the left of a
// cell large enough for a glyph, a pattern over the whole of a small one, and the
// hatching over stale cells. Drawn as paths, so no font has to hold the symbols.
#pragma once

#include <QRect>

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

}  // namespace vantu
