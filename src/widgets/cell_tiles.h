// The look of a cell without content, its background and state glyph, rendered once
// per size, colour and mark and then copied: the whole-antenna grid redraws thousands
// of such cells on every refresh, and a copy costs a fraction of painting them.
#pragma once

#include <QImage>
#include <QRect>

#include <cstddef>
#include <unordered_map>

#include "status/cell_sink.h"
#include "status/status_colours.h"

namespace vantu {

inline constexpr Colour kGridLineColour = Rgb(192, 192, 192);

// The grid lines over a cell: a grid draws one along every cell's left and top edge and
// one along its own right and bottom edge.
enum TileLines : std::uint8_t {
    kNoLines = 0,
    kLeftTopLines = 1,
    kRightLine = 2,
    kBottomLine = 4,
};

struct TileLook {
    Colour background = 0;
    // kNone: no glyph.
    CellMark mark = CellMark::kNone;
    std::uint8_t lines = kNoLines;
    bool operator==(const TileLook&) const = default;
};

// The pixels of an image the tiles are copied into, taken once for a whole redraw: a Qt
// call per cell would cost more than the copy.
struct TileTarget {
    explicit TileTarget(QImage& image);
    QRgb* pixels = nullptr;
    std::size_t stride = 0;  // pixels per line
    int width = 0;
    int height = 0;
};

class CellTiles {
  public:
    // Copies the tile of a cell of `box` (logical pixels) into the target, whose device
    // pixels are `scale` times as many.
    void Draw(const TileTarget& target, const QRect& box, const TileLook& look, int scale);

  private:
    struct Key {
        int width = 0;
        int height = 0;
        int scale = 1;
        TileLook look;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct Tile {
        QImage image;
        const QRgb* pixels = nullptr;
        std::size_t stride = 0;
    };
    const Tile& TileOf(const Key& key);

    static constexpr std::size_t kTileLimit = 4096;
    std::unordered_map<Key, Tile, KeyHash> tiles_;
};

}  // namespace vantu
