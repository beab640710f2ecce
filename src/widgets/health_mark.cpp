#include "widgets/health_mark.h"

#include <QAccessible>
#include <QPainter>
#include <QPainterPath>

#include "widgets/cell_glyphs.h"

namespace vantu {
namespace {

const QColor kNoDataFill(150, 150, 150);
const QColor kHealthyFill(0, 170, 0);
const QColor kFaultyFill(210, 0, 0);

QColor Fill(MarkState state) {
    switch (state) {
        case MarkState::kHealthy:
            return kHealthyFill;
        case MarkState::kFaulty:
            return kFaultyFill;
        case MarkState::kNoData:
            break;
    }
    return kNoDataFill;
}

// Screen readers hear the state change without polling the mark.
void NotifyNameChanged(QObject& mark) {
    if (QAccessible::isActive()) {
        QAccessibleEvent event(&mark, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace

CHealthMark::CHealthMark(QWidget* parent) : QWidget(parent) {}

void CHealthMark::SetState(MarkState state) {
    if (state == state_) {
        return;
    }
    state_ = state;
    update();
    NotifyNameChanged(*this);
}

void CHealthMark::SetStale(bool stale) {
    if (stale != stale_) {
        stale_ = stale;
        update();
        NotifyNameChanged(*this);
    }
}

void CHealthMark::SetCaption(const QString& caption) {
    caption_ = caption;
    NotifyNameChanged(*this);
}

void CHealthMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRectF disc((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(Fill(state_));
    painter.drawEllipse(disc);

    painter.setPen(
        QPen(Qt::white, std::max(2.0, side / 9.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const auto at = [&](double fx, double fy) {
        return QPointF(disc.left() + fx * disc.width(), disc.top() + fy * disc.height());
    };
    switch (state_) {
        case MarkState::kHealthy: {
            QPainterPath tick(at(0.27, 0.52));
            tick.lineTo(at(0.44, 0.69));
            tick.lineTo(at(0.74, 0.33));
            painter.drawPath(tick);
            break;
        }
        case MarkState::kFaulty:
            painter.drawLine(at(0.32, 0.32), at(0.68, 0.68));
            painter.drawLine(at(0.68, 0.32), at(0.32, 0.68));
            break;
        case MarkState::kNoData:
            painter.drawLine(at(0.3, 0.5), at(0.7, 0.5));
            break;
    }
    if (stale_) {
        PaintStaleHatching(painter, rect());
    }
}

}  // namespace vantu
