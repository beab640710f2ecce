#include "widgets/steady_text.h"

#include <algorithm>

namespace vantu {

void SetSteadyText(QLabel& label, const QString& text) {
    if (label.text() == text) {
        return;
    }
    label.setText(text);
    const QSize hint = label.sizeHint();
    const QSize kept(std::max(hint.width(), label.minimumWidth()), hint.height());
    if (label.minimumSize() != kept || label.maximumSize() != kept) {
        label.setFixedSize(kept);
    }
}

void SetSteadyStyleSheet(QWidget& widget, const QString& style) {
    if (widget.styleSheet() != style) {
        widget.setStyleSheet(style);
    }
}

}  // namespace vantu
