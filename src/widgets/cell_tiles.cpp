#include "widgets/cell_tiles.h"

#include <QPainter>

#include <algorithm>

#include "widgets/cell_glyphs.h"
#include "widgets/qt_colour.h"

namespace vantu {

std::size_t CellTiles::KeyHash::operator()(const Key& key) const {
    std::size_t hash = key.look.background;
    hash = hash * 31 + static_cast<std::size_t>(key.look.mark);
    hash = hash * 8 + key.look.lines;
    hash = hash * 8191 + static_cast<std::size_t>(key.width);
    hash = hash * 8191 + static_cast<std::size_t>(key.height);
    return hash * 7 + static_cast<std::size_t>(key.scale);
}

const QImage& CellTiles::Tile(const Key& key) {
    const auto found = tiles_.find(key);
    if (found != tiles_.end()) {
        return found->second;
    }
    if (tiles_.size() >= kTileLimit) {
        tiles_.clear();
    }
    QImage tile(key.width * key.scale, key.height * key.scale, QImage::Format_ARGB32_Premultiplied);
    tile.setDevicePixelRatio(key.scale);
    QPainter painter(&tile);
    const QRect cell(0, 0, key.width, key.height);
    const TileLook& look = key.look;
    painter.fillRect(cell, ToQColor(look.background));
    if (look.mark != CellMark::kNone) {
        PaintCellGlyph(painter, cell, look.mark, look.background, 0);
    }
    const QColor line = ToQColor(kGridLineColour);
    if ((look.lines & kLeftTopLines) != 0) {
        painter.fillRect(QRect(0, 0, 1, key.height), line);
        painter.fillRect(QRect(0, 0, key.width, 1), line);
    }
    if ((look.lines & kRightLine) != 0) {
        painter.fillRect(QRect(key.width - 1, 0, 1, key.height), line);
    }
    if ((look.lines & kBottomLine) != 0) {
        painter.fillRect(QRect(0, key.height - 1, key.width, 1), line);
    }
    return tiles_.emplace(key, std::move(tile)).first->second;
}

void CellTiles::Draw(QImage& image, const QRect& box, const TileLook& look, int scale) {
    if (box.isEmpty()) {
        return;
    }
    const QImage& tile = Tile({box.width(), box.height(), scale, look});
    const QRect target = QRect(box.topLeft() * scale, tile.size()).intersected(image.rect());
    const int dx = target.left() - box.left() * scale;
    const int dy = target.top() - box.top() * scale;
    // Raw lines: a Qt call per line would cost more than the copy.
    auto* pixels = reinterpret_cast<QRgb*>(image.bits());
    const auto* tile_pixels = reinterpret_cast<const QRgb*>(tile.constBits());
    const auto stride = static_cast<std::size_t>(image.bytesPerLine()) / sizeof(QRgb);
    const auto tile_stride = static_cast<std::size_t>(tile.bytesPerLine()) / sizeof(QRgb);
    for (int y = 0; y < target.height(); ++y) {
        const QRgb* from = tile_pixels + static_cast<std::size_t>(dy + y) * tile_stride +
                           static_cast<std::size_t>(dx);
        QRgb* to = pixels + static_cast<std::size_t>(target.top() + y) * stride +
                   static_cast<std::size_t>(target.left());
        std::copy_n(from, target.width(), to);
    }
}

}  // namespace vantu
