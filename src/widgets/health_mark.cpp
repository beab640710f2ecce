#include "widgets/health_mark.h"

#include <QPainter>
#include <QPainterPath>

namespace vantu {
namespace {

const QColor kHealthyFill(0, 170, 0);
const QColor kFaultyFill(210, 0, 0);

}  // namespace

CHealthMark::CHealthMark(QWidget* parent) : QWidget(parent) {}

void CHealthMark::SetHealthy(bool healthy) {
    if (healthy == healthy_) {
        return;
    }
    healthy_ = healthy;
    update();
}

void CHealthMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRectF disc((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(healthy_ ? kHealthyFill : kFaultyFill);
    painter.drawEllipse(disc);

    painter.setPen(
        QPen(Qt::white, std::max(2.0, side / 9.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const auto at = [&](double fx, double fy) {
        return QPointF(disc.left() + fx * disc.width(), disc.top() + fy * disc.height());
    };
    if (healthy_) {
        QPainterPath tick(at(0.27, 0.52));
        tick.lineTo(at(0.44, 0.69));
        tick.lineTo(at(0.74, 0.33));
        painter.drawPath(tick);
    } else {
        painter.drawLine(at(0.32, 0.32), at(0.68, 0.68));
        painter.drawLine(at(0.68, 0.32), at(0.32, 0.68));
    }
}

}  // namespace vantu
