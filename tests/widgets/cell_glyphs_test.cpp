#include "widgets/cell_glyphs.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "widgets/qt_colour.h"

namespace vantu {
namespace {

int LargestChannelDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

// A glyph copied from its cached image stands where, and in the ink, a painted one would:
// beside a text, in the corner, half a pixel down, on dark and light, on a doubled screen.
TEST(CellGlyphImagesTest, CopiedGlyphsMatchPaintedOnes) {
    CellGlyphImages images;
    for (const int scale : {1, 2}) {
        for (const QRect cell : {QRect(3, 2, 60, 18), QRect(3, 2, 60, 19), QRect(3, 2, 26, 13)}) {
            for (const Colour background : {Rgb(255, 255, 255), Rgb(0, 0, 0)}) {
                for (int m = 1; m <= 5; ++m) {
                    const auto shot = [&](const std::function<void(QPainter&)>& paint) {
                        QImage image(70 * scale, 24 * scale, QImage::Format_RGB32);
                        image.setDevicePixelRatio(scale);
                        image.fill(ToQColor(background));
                        QPainter painter(&image);
                        paint(painter);
                        return image;
                    };
                    const auto mark = static_cast<CellMark>(m);
                    const QImage painted =
                        shot([&](QPainter& p) { PaintCellGlyph(p, cell, mark, background, 10); });
                    const QImage copied =
                        shot([&](QPainter& p) { images.Paint(p, cell, mark, background, 10); });
                    // Antialiased edges may round apart; a misplaced glyph differs by far more.
                    EXPECT_LE(LargestChannelDifference(painted, copied), 12)
                        << scale << " " << cell.height() << " " << m;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vantu
