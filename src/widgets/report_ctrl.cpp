#include "widgets/report_ctrl.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QFocusFrame>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "widgets/cell_glyphs.h"
#include "widgets/qt_colour.h"

namespace vantu {
namespace {

constexpr int kDefaultColumnWidth = 60;
constexpr int kDefaultRowHeight = 18;
constexpr Colour kHeaderBackground = Rgb(230, 230, 230);
constexpr int kCheckBoxSize = 11;
// Bands 0 (cool), 1 (above the limit) and 2 (near it).
constexpr std::array<Colour, 3> kDefaultBands = {Rgb(0, 170, 0), Rgb(210, 0, 0), Rgb(240, 170, 0)};

QRect ToQRect(const CellBox& box) {
    return QRect(box.x, box.y, box.width, box.height);
}

// The cell's words drawn one after another, centred as one text. With `underline`, a
// word standing out in another colour than the cell's text (a failed supply, a Tx
// fault) is underlined as well, so it stands out without colour.
void PaintWords(QPainter& painter, const QRect& rect, const GridCellState& cell, bool underline) {
    const std::vector<ColouredWord> words = [&] {
        Cell view;
        view.text = cell.text.c_str();
        view.word_count = cell.word_count;
        view.word_colours = cell.word_colours;
        return CellWords(view);
    }();
    const QFontMetrics metrics = painter.fontMetrics();
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    std::vector<QString> texts;
    int width = 0;
    for (const ColouredWord& word : words) {
        texts.push_back(ToQString(word.text));
        width += metrics.horizontalAdvance(texts.back()) + (texts.size() > 1 ? blank : 0);
    }
    int x = rect.left() + (rect.width() - width) / 2;
    const QFont plain = painter.font();
    QFont underlined = plain;
    underlined.setUnderline(true);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const int advance = metrics.horizontalAdvance(texts[i]);
        painter.setFont(underline && words[i].colour != cell.text_colour ? underlined : plain);
        painter.setPen(ToQColor(words[i].colour));
        painter.drawText(QRect(x, rect.top(), advance, rect.height()), Qt::AlignCenter, texts[i]);
        x += advance + blank;
    }
    painter.setFont(plain);
}

void PaintCheckBox(QPainter& painter, const QRect& rect, bool checked) {
    QRect box(0, 0, kCheckBoxSize, kCheckBoxSize);
    box.moveCenter(rect.center());
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setBrush(Qt::NoBrush);
    if (checked) {
        const QPoint a(box.left() + 2, box.center().y());
        const QPoint b(box.left() + 4, box.bottom() - 2);
        const QPoint c(box.right() - 2, box.top() + 2);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawPolyline(std::array<QPoint, 3>{a, b, c}.data(), 3);
    }
}

}  // namespace

CReportCtrl::CReportCtrl(int rows, int columns, QWidget* parent)
    : QAbstractScrollArea(parent),
      cells_(rows, columns),
      geometry_(rows, columns, kDefaultColumnWidth, kDefaultRowHeight),
      band_colours_(kDefaultBands) {
    cells_.set_on_change([this] {
        viewport()->update();
        NoteCellsChanged();
    });
    cells_.set_on_cell_change([this](int row, int column) {
        viewport()->update(ViewportCellRect(row, column));
        NoteCellsChanged();
    });
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    UpdateScrollBars();
}

void CReportCtrl::contextMenuEvent(QContextMenuEvent* event) {
    // A right click is handled on the press; only the keyboard's request is left.
    if (event->reason() != QContextMenuEvent::Keyboard) {
        event->ignore();
        return;
    }
    emit menuKeyPressed(viewport()->mapToGlobal(QPoint(0, 0)));
}

void CReportCtrl::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (focus_frame_ == nullptr) {
        focus_frame_ = new QFocusFrame(this);
        focus_frame_->setWidget(this);
    }
    focus_frame_->show();
}

void CReportCtrl::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (focus_frame_ != nullptr) {
        focus_frame_->hide();
    }
}

void CReportCtrl::SetColumnWidth(int column, int width) {
    geometry_.SetColumnWidth(column, width);
    redraw_all_ = true;
    UpdateScrollBars();
    viewport()->update();
}

void CReportCtrl::SetRowHeight(int row, int height) {
    geometry_.SetRowHeight(row, height);
    redraw_all_ = true;
    UpdateScrollBars();
    viewport()->update();
}

void CReportCtrl::SetAllRowHeights(int height) {
    for (int row = 0; row < rows(); ++row) {
        geometry_.SetRowHeight(row, height);
    }
    redraw_all_ = true;
    UpdateScrollBars();
    viewport()->update();
}

void CReportCtrl::SetHeaders(const std::vector<std::string>& texts, int height) {
    headers_ = texts;
    header_height_ = texts.empty() ? 0 : std::max(height, 0);
    UpdateScrollBars();
    viewport()->update();
}

void CReportCtrl::SetGridLines(bool on) {
    grid_lines_ = on;
    redraw_all_ = true;
    viewport()->update();
}

void CReportCtrl::SetOverlayLines(std::vector<QLine> lines) {
    overlay_lines_ = std::move(lines);
    viewport()->update();
}

void CReportCtrl::SetOverlayColour(Colour colour) {
    overlay_colour_ = colour;
    viewport()->update();
}

void CReportCtrl::SetOverlayVisible(bool on) {
    overlay_visible_ = on;
    viewport()->update();
}

void CReportCtrl::SetBarDisplay(bool on) {
    bar_display_ = on;
    redraw_all_ = true;
    viewport()->update();
}

void CReportCtrl::SetBandColours(const std::array<Colour, 3>& colours) {
    band_colours_ = colours;
    viewport()->update();
}

void CReportCtrl::SetMarksShown(bool on) {
    marks_shown_ = on;
    redraw_all_ = true;
    viewport()->update();
}

void CReportCtrl::SetStale(bool on) {
    stale_ = on;
    viewport()->update();
}

QRect CReportCtrl::CellRect(int row, int column) const {
    if (!cells_.Contains(row, column)) {
        return {};
    }
    return ToQRect(geometry_.CellRect(row, column));
}

QPoint CReportCtrl::ContentOrigin() const {
    return QPoint(-horizontalScrollBar()->value(), header_height_ - verticalScrollBar()->value());
}

QRect CReportCtrl::ViewportCellRect(int row, int column) const {
    return CellRect(row, column).translated(ContentOrigin());
}

void CReportCtrl::NoteCellsChanged() {
    if (change_pending_) {
        return;
    }
    change_pending_ = true;
    QTimer::singleShot(0, this, [this] {
        change_pending_ = false;
        emit cellsChanged();
        if (QAccessible::isActive()) {
            QAccessibleTableModelChangeEvent event(this,
                                                   QAccessibleTableModelChangeEvent::DataChanged);
            event.setFirstRow(0);
            event.setLastRow(rows() - 1);
            event.setFirstColumn(0);
            event.setLastColumn(columns() - 1);
            QAccessible::updateAccessibility(&event);
        }
    });
}

std::optional<CellIndex> CReportCtrl::CellAt(const QPoint& viewport_pos) const {
    if (viewport_pos.y() < header_height_) {
        return std::nullopt;
    }
    const QPoint content = viewport_pos - ContentOrigin();
    return geometry_.CellAt(content.x(), content.y());
}

QSize CReportCtrl::ContentSize() const {
    const int frame = 2 * frameWidth();
    return QSize(geometry_.total_width() + frame,
                 geometry_.total_height() + header_height_ + frame);
}

void CReportCtrl::UpdateScrollBars() {
    // When everything fits without scroll bars the viewport will get their room back.
    const QSize content(geometry_.total_width(), geometry_.total_height() + header_height_);
    const QSize room = maximumViewportSize();
    const QSize view = room.expandedTo(content) == room ? room : viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, geometry_.total_width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(kDefaultRowHeight);
    const int cells_height = view.height() - header_height_;
    verticalScrollBar()->setRange(0, std::max(0, geometry_.total_height() - cells_height));
    verticalScrollBar()->setPageStep(std::max(cells_height, 0));
    verticalScrollBar()->setSingleStep(kDefaultRowHeight);
}

void CReportCtrl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CReportCtrl::scrollContentsBy(int, int) {
    viewport()->update();
}

void CReportCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint origin = ContentOrigin();
    // The cells cover the content; only the margins right of and below it are filled.
    const QRect content(origin, QSize(geometry_.total_width(), geometry_.total_height()));
    const QColor base = palette().color(QPalette::Base);
    painter.fillRect(QRect(content.right() + 1, 0, viewport()->width(), viewport()->height()),
                     base);
    painter.fillRect(QRect(0, content.bottom() + 1, viewport()->width(), viewport()->height()),
                     base);
    const QRect area = event->rect().translated(-origin);
    const auto columns = geometry_.ColumnsIn(area.left(), area.right() + 1);
    const auto rows = geometry_.RowsIn(std::max(area.top(), 0), area.bottom() + 1);

    painter.setClipRect(QRect(0, header_height_, viewport()->width(), viewport()->height()));
    painter.translate(origin);
    // A fractional scale would blur a copied image: such screens get the cells painted.
    const qreal ratio = painter.device()->devicePixelRatioF();
    const int scale = ratio == std::floor(ratio) ? static_cast<int>(ratio) : 0;
    if (scale > 0) {
        UpdateCellsImage(scale);
        const QRect shown = area.intersected(QRect(QPoint(0, 0), content.size()));
        painter.drawImage(shown.topLeft(), cells_image_,
                          QRect(shown.topLeft() * scale, shown.size() * scale));
    } else {
        PaintBackgrounds(painter, rows, columns);
    }
    // Painted over the image: the grid lines go over it again, as they go over every cell.
    bool painted = false;
    for (int row = rows.first; row < rows.second; ++row) {
        for (int column = columns.first; column < columns.second; ++column) {
            const GridCellState& cell = cells_.At(row, column);
            const bool content = HasContent(cell);
            if (content) {
                PaintContent(painter, CellRect(row, column), cell);
                painted = true;
            }
            if (MarkDrawn(cell.mark) && !(scale > 0 && InImage(cell, CellRect(row, column)))) {
                painted = true;
                const int text_width =
                    cell.text.empty() ? 0 : static_cast<int>(StaticText(cell.text).size().width());
                glyphs_.Paint(painter, CellRect(row, column), cell.mark, cell.background,
                              text_width);
            }
        }
    }
    if (grid_lines_ && (scale == 0 || painted)) {
        PaintGridLines(painter, rows, columns);
    }
    if (stale_) {
        PaintStaleHatching(painter, content.translated(-origin));
    }
    if (overlay_visible_ && !overlay_lines_.empty()) {
        painter.setPen(QPen(ToQColor(overlay_colour_), 0));
        painter.drawLines(overlay_lines_.data(), static_cast<int>(overlay_lines_.size()));
    }
    if (header_height_ > 0) {
        painter.resetTransform();
        painter.setClipping(false);
        PaintHeader(painter, columns.first, columns.second);
    }
}

// Neighbouring cells of one colour are filled as one rectangle: a temperature view is
// mostly runs of the same band.
void CReportCtrl::PaintBackgrounds(QPainter& painter, std::pair<int, int> rows,
                                   std::pair<int, int> columns) {
    for (int row = rows.first; row < rows.second; ++row) {
        const int top = geometry_.RowTop(row);
        const int height = geometry_.RowTop(row + 1) - top;
        int run_start = columns.first;
        for (int column = columns.first + 1; column <= columns.second; ++column) {
            const Colour colour = cells_.At(row, run_start).background;
            if (column < columns.second && cells_.At(row, column).background == colour) {
                continue;
            }
            const int left = geometry_.ColumnLeft(run_start);
            painter.fillRect(QRect(left, top, geometry_.ColumnLeft(column) - left, height),
                             ToQColor(colour));
            run_start = column;
        }
    }
}

void CReportCtrl::UpdateCellsImage(int scale) {
    const QSize size(geometry_.total_width() * scale, geometry_.total_height() * scale);
    if (cells_image_.size() != size || cells_image_.devicePixelRatio() != scale) {
        // Opaque: the tiles fill every pixel, and a repaint then copies the image rather
        // than blending it.
        cells_image_ = QImage(size, QImage::Format_RGB32);
        cells_image_.setDevicePixelRatio(scale);
        redraw_all_ = true;
    }
    const TileTarget target(cells_image_);
    if (redraw_all_) {
        for (int row = 0; row < rows(); ++row) {
            for (int column = 0; column < columns(); ++column) {
                DrawIntoImage(target, row, column, scale);
            }
        }
    } else {
        const auto columns_count = static_cast<std::uint32_t>(columns());
        for (const std::uint32_t index : cells_.to_redraw()) {
            DrawIntoImage(target, static_cast<int>(index / columns_count),
                          static_cast<int>(index % columns_count), scale);
        }
    }
    redraw_all_ = false;
    cells_.ClearRedrawn();
}

void CReportCtrl::DrawIntoImage(const TileTarget& target, int row, int column, int scale) {
    const GridCellState& cell = cells_.At(row, column);
    const QRect rect = CellRect(row, column);
    TileLook look{.background = cell.background};
    if (MarkDrawn(cell.mark) && InImage(cell, rect)) {
        look.mark = cell.mark;
    }
    if (grid_lines_) {
        look.lines = kLeftTopLines;
        look.lines |= geometry_.ColumnLeft(column + 1) == geometry_.total_width() ? kRightLine : 0;
        look.lines |= geometry_.RowTop(row + 1) == geometry_.total_height() ? kBottomLine : 0;
    }
    tiles_.Draw(target, rect, look, scale);
}

const QStaticText& CReportCtrl::StaticText(const std::string& text) {
    auto found = text_cache_.find(text);
    if (found != text_cache_.end()) {
        return found->second;
    }
    if (text_cache_.size() >= kTextCacheLimit) {
        text_cache_.clear();
    }
    QStaticText laid_out(ToQString(text));
    laid_out.setTextFormat(Qt::PlainText);
    laid_out.prepare(QTransform(), font());
    return text_cache_.emplace(text, std::move(laid_out)).first->second;
}

void CReportCtrl::PaintContent(QPainter& painter, const QRect& rect, const GridCellState& cell) {
    if (cell.has_check) {
        PaintCheckBox(painter, rect, cell.checked);
        return;
    }
    if (bar_display_ && cell.bar_percent >= 0) {
        QRect bar = rect.adjusted(1, 2, -1, -2);
        bar.setWidth(bar.width() * std::min<int>(cell.bar_percent, 100) / 100);
        painter.fillRect(bar, ToQColor(band_colours_[std::min<std::size_t>(cell.band, 2)]));
    }
    if (cell.text.empty()) {
        return;
    }
    if (cell.word_count > 0) {
        PaintWords(painter, rect, cell, marks_shown_);
        return;
    }
    painter.setPen(ToQColor(cell.text_colour));
    const QStaticText& text = StaticText(cell.text);
    const QSizeF size = text.size();
    painter.drawStaticText(QPointF(rect.left() + (rect.width() - size.width()) / 2,
                                   rect.top() + (rect.height() - size.height()) / 2),
                           text);
}

// Lines one pixel wide are filled as rectangles: the fastest path of the raster engine.
void CReportCtrl::PaintGridLines(QPainter& painter, std::pair<int, int> rows,
                                 std::pair<int, int> columns) {
    if (rows.first >= rows.second || columns.first >= columns.second) {
        return;
    }
    const int left = geometry_.ColumnLeft(columns.first);
    const int right = geometry_.ColumnLeft(columns.second) - 1;
    const int top = geometry_.RowTop(rows.first);
    const int bottom = geometry_.RowTop(rows.second) - 1;
    const QColor colour = ToQColor(kGridLineColour);
    for (int column = columns.first; column <= columns.second; ++column) {
        const int x = column == geometry_.columns() ? right : geometry_.ColumnLeft(column);
        painter.fillRect(QRect(x, top, 1, bottom - top + 1), colour);
    }
    for (int row = rows.first; row <= rows.second; ++row) {
        const int y = row == geometry_.rows() ? bottom : geometry_.RowTop(row);
        painter.fillRect(QRect(left, y, right - left + 1, 1), colour);
    }
}

void CReportCtrl::PaintHeader(QPainter& painter, int first, int last) {
    const int dx = -horizontalScrollBar()->value();
    painter.fillRect(QRect(0, 0, viewport()->width(), header_height_), ToQColor(kHeaderBackground));
    painter.setPen(ToQColor(kGridLineColour));
    painter.drawLine(0, header_height_ - 1, viewport()->width(), header_height_ - 1);
    for (int column = first; column < last; ++column) {
        const int left = geometry_.ColumnLeft(column);
        const QRect rect(left + dx, 0, geometry_.ColumnLeft(column + 1) - left, header_height_);
        painter.setPen(ToQColor(kGridLineColour));
        painter.drawLine(rect.right(), 0, rect.right(), header_height_ - 1);
        if (static_cast<std::size_t>(column) < headers_.size()) {
            painter.setPen(Qt::black);
            const QStaticText& text = StaticText(headers_[static_cast<std::size_t>(column)]);
            painter.drawStaticText(QPointF(rect.left() + (rect.width() - text.size().width()) / 2,
                                           rect.top() + (rect.height() - text.size().height()) / 2),
                                   text);
        }
    }
}

void CReportCtrl::mousePressEvent(QMouseEvent* event) {
    const std::optional<CellIndex> cell = CellAt(event->position().toPoint());
    if (!cell) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        emit cellClicked(cell->row, cell->column);
    } else if (event->button() == Qt::RightButton) {
        emit cellRightClicked(cell->row, cell->column, event->globalPosition().toPoint());
    }
    event->accept();
}

void CReportCtrl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

bool CReportCtrl::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QAbstractScrollArea::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::optional<CellIndex> cell = CellAt(help->pos());
    const std::string text = cell ? cells_.Tooltip(cell->row, cell->column) : std::string();
    if (text.empty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QString shown = ToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QRect rect = CellRect(cell->row, cell->column).translated(ContentOrigin());
    QToolTip::showText(help->globalPos(), shown, viewport(), rect);
    return true;
}

}  // namespace vantu
