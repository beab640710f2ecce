#include "widgets/group_box.h"

#include <QAccessible>
#include <QPainter>

#include "status/status_colours.h"
#include "widgets/qt_colour.h"

namespace vantu {
namespace {

constexpr int kTitleIndent = 10;
constexpr int kTitlePadding = 4;

}  // namespace

CGroupBox::CGroupBox(const QString& title, QWidget* parent)
    : QWidget(parent),
      title_(title),
      frame_colour_(Rgb(120, 120, 160)),
      title_colour_(Rgb(0, 0, 128)) {}

void CGroupBox::SetTitle(const QString& title) {
    title_ = title;
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void CGroupBox::SetFrameColour(Colour colour) {
    frame_colour_ = colour;
    update();
}

void CGroupBox::SetTitleColour(Colour colour) {
    title_colour_ = colour;
    update();
}

void CGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int title_mid = metrics.height() / 2;
    const QRect frame = rect().adjusted(0, title_mid, -1, -1);
    painter.setPen(ToQColor(frame_colour_));
    painter.drawRoundedRect(frame, 3, 3);
    if (title_.isEmpty()) {
        return;
    }
    const int width = metrics.horizontalAdvance(title_) + 2 * kTitlePadding;
    const QRect title_rect(kTitleIndent, 0, width, metrics.height());
    painter.fillRect(title_rect, palette().color(backgroundRole()));
    painter.setPen(ToQColor(title_colour_));
    painter.drawText(title_rect, Qt::AlignCenter, title_);
}

}  // namespace vantu
