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

TileTarget::TileTarget(QImage& image)
    : pixels(reinterpret_cast<QRgb*>(image.bits())),
      stride(static_cast<std::size_t>(image.bytesPerLine()) / sizeof(QRgb)),
      width(image.width()),
      height(image.height()) {}

const CellTiles::Tile& CellTiles::TileOf(const Key& key) {
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
    painter.end();
    const auto* pixels = reinterpret_cast<const QRgb*>(tile.constBits());
    const auto stride = static_cast<std::size_t>(tile.bytesPerLine()) / sizeof(QRgb);
    return tiles_.emplace(key, Tile{std::move(tile), pixels, stride}).first->second;
}

void CellTiles::Draw(const TileTarget& target, const QRect& box, const TileLook& look, int scale) {
    if (box.isEmpty()) {
        return;
    }
    const Tile& tile = TileOf({box.width(), box.height(), scale, look});
    const int left = std::max(box.left() * scale, 0);
    const int top = std::max(box.top() * scale, 0);
    const int right = std::min((box.right() + 1) * scale, target.width);
    const int bottom = std::min((box.bottom() + 1) * scale, target.height);
    if (left >= right || top >= bottom) {
        return;
    }
    const auto dx = static_cast<std::size_t>(left - box.left() * scale);
    const auto dy = static_cast<std::size_t>(top - box.top() * scale);
    for (int y = top; y < bottom; ++y) {
        const QRgb* from =
            tile.pixels + (dy + static_cast<std::size_t>(y - top)) * tile.stride + dx;
        std::copy_n(from, right - left,
                    target.pixels + static_cast<std::size_t>(y) * target.stride +
                        static_cast<std::size_t>(left));
    }
}

}  // namespace vantu
