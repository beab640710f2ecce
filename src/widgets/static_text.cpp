#include "widgets/static_text.h"

#include "widgets/qt_colour.h"

namespace vantu {

CStatic::CStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
}

void CStatic::SetTextColour(Colour colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, ToQColor(colour));
    setPalette(colours);
}

void CStatic::SetBackground(Colour colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ToQColor(colour));
    setPalette(colours);
    setAutoFillBackground(true);
}

}  // namespace vantu
