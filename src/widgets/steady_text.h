// Texts and style sheets that pages set often, without laying out the window each time.
#pragma once

#include <QLabel>
#include <QString>

namespace vantu {

// Sets the text and fixes the label's size, growing it only when the text needs more:
// a label whose size hint changes makes its window lay out and repaint every page.
void SetSteadyText(QLabel& label, const QString& text);

// Sets the style sheet only when it differs: each new one repolishes the widget and
// lays out and repaints the whole window.
void SetSteadyStyleSheet(QWidget& widget, const QString& style);

}  // namespace vantu
