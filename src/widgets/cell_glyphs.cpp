#include "widgets/cell_glyphs.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <functional>

#include "widgets/qt_colour.h"

namespace vantu {
namespace {

constexpr int kCornerGlyph = 7;
// Room around a glyph's box for its pen and antialiased edge.
constexpr int kGlyphPad = 3;

bool DarkInk(Colour background) {
    return qGray(ToQColor(background).rgb()) >= 128;
}

QColor Ink(bool dark) {
    return dark ? QColor(20, 20, 20) : QColor(250, 250, 250);
}

QColor Contrasting(Colour background) {
    return Ink(DarkInk(background));
}

// Left of the text when it leaves room, else in the top-left corner.
QRectF GlyphBox(const QRect& cell, int text_width) {
    const int margin = (cell.width() - text_width) / 2 - 6;
    const int side = std::min({cell.height() - 6, 12, margin});
    return side >= kCornerGlyph
               ? QRectF(cell.left() + 4, cell.top() + (cell.height() - side) / 2.0, side, side)
               : QRectF(cell.left() + 2, cell.top() + 2, kCornerGlyph, kCornerGlyph);
}

// A latch is rare and asks for the operator: framed, so it is found at a glance.
void PaintLatchFrame(QPainter& painter, const QRect& cell, const QColor& ink) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ink, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cell.adjusted(1, 1, -2, -2));
}

// The glyph in a square box: fx, fy are fractions of the box.
void PaintGlyph(QPainter& painter, const QRectF& box, CellMark mark, const QColor& ink) {
    const auto at = [&](double fx, double fy) {
        return QPointF(box.left() + fx * box.width(), box.top() + fy * box.height());
    };
    painter.setPen(
        QPen(ink, std::max(1.5, box.width() / 6.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    switch (mark) {
        case CellMark::kNormal: {
            QPainterPath tick(at(0.1, 0.55));
            tick.lineTo(at(0.4, 0.85));
            tick.lineTo(at(0.9, 0.15));
            painter.drawPath(tick);
            break;
        }
        case CellMark::kFault:
            painter.drawLine(at(0.15, 0.15), at(0.85, 0.85));
            painter.drawLine(at(0.85, 0.15), at(0.15, 0.85));
            break;
        case CellMark::kNearLimit:
            painter.setBrush(ink);
            painter.drawPolygon(QPolygonF({at(0.5, 0.1), at(0.95, 0.9), at(0.05, 0.9)}));
            break;
        case CellMark::kLatched:
            painter.drawLine(at(0.5, 0.05), at(0.5, 0.6));
            painter.drawPoint(at(0.5, 0.92));
            break;
        case CellMark::kNoData: {
            QPainterPath hook(at(0.2, 0.3));
            hook.cubicTo(at(0.2, -0.05), at(0.85, -0.05), at(0.8, 0.3));
            hook.cubicTo(at(0.75, 0.5), at(0.5, 0.45), at(0.5, 0.65));
            painter.drawPath(hook);
            painter.drawPoint(at(0.5, 0.92));
            break;
        }
        case CellMark::kNone:
            break;
    }
}

// A cell of a few pixels: a normal one stays plain, the others get a pattern over it.
void PaintPattern(QPainter& painter, const QRect& cell, CellMark mark, const QColor& ink) {
    const QRect inner = cell.adjusted(1, 1, -1, -1);
    painter.setPen(QPen(ink, 1));
    painter.setBrush(Qt::NoBrush);
    switch (mark) {
        case CellMark::kFault:
            painter.drawLine(inner.topLeft(), inner.bottomRight());
            painter.drawLine(inner.topRight(), inner.bottomLeft());
            break;
        case CellMark::kNearLimit: {
            QRect dot(0, 0, 3, 3);
            dot.moveCenter(inner.center());
            painter.fillRect(dot, ink);
            break;
        }
        case CellMark::kLatched:
            painter.drawLine(inner.bottomLeft(), inner.topRight());
            break;
        case CellMark::kNoData:
            painter.drawLine(inner.left(), inner.center().y(), inner.right(), inner.center().y());
            break;
        case CellMark::kNormal:
        case CellMark::kNone:
            break;
    }
}

}  // namespace

void PaintCellGlyph(QPainter& painter, const QRect& cell, CellMark mark, Colour background,
                    int text_width) {
    const QColor ink = Contrasting(background);
    painter.save();
    if (GetsPattern(cell)) {
        PaintPattern(painter, cell, mark, ink);
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        PaintGlyph(painter, GlyphBox(cell, text_width), mark, ink);
        if (mark == CellMark::kLatched) {
            PaintLatchFrame(painter, cell, ink);
        }
    }
    painter.restore();
}

std::size_t CellGlyphImages::KeyHash::operator()(const Key& key) const {
    return std::hash<int>()(key.side * 64 + key.scale * 16 + static_cast<int>(key.mark) * 4 +
                            (key.half_down ? 2 : 0) + (key.dark_ink ? 1 : 0));
}

const QImage& CellGlyphImages::ImageOf(const Key& key) {
    const auto found = images_.find(key);
    if (found != images_.end()) {
        return found->second;
    }
    if (images_.size() >= kImageLimit) {
        images_.clear();
    }
    const int size = key.side + 2 * kGlyphPad;
    QImage image(size * key.scale, size * key.scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(key.scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(kGlyphPad, kGlyphPad + (key.half_down ? 0.5 : 0.0), key.side, key.side);
    PaintGlyph(painter, box, key.mark, Ink(key.dark_ink));
    painter.end();
    return images_.emplace(key, std::move(image)).first->second;
}

void CellGlyphImages::Paint(QPainter& painter, const QRect& cell, CellMark mark, Colour background,
                            int text_width) {
    // A fractional pixel ratio would blur a copied image: such screens get the glyph painted.
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (GetsPattern(cell) || ratio != std::floor(ratio)) {
        PaintCellGlyph(painter, cell, mark, background, text_width);
        return;
    }
    const QRectF box = GlyphBox(cell, text_width);
    const Key key{.side = static_cast<int>(box.width()),
                  .half_down = box.top() != std::floor(box.top()),
                  .mark = mark,
                  .dark_ink = DarkInk(background),
                  .scale = static_cast<int>(ratio)};
    painter.drawImage(QPointF(box.left() - kGlyphPad, std::floor(box.top()) - kGlyphPad),
                      ImageOf(key));
    if (mark == CellMark::kLatched) {
        painter.save();
        PaintLatchFrame(painter, cell, Ink(key.dark_ink));
        painter.restore();
    }
}

void PaintStaleHatching(QPainter& painter, const QRect& area) {
    painter.fillRect(area, QBrush(QColor(60, 60, 60, 150), Qt::BDiagPattern));
}

}  // namespace vantu
