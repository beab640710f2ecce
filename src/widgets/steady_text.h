// A label text that changes often (an age, a count) beside the tabs.
#pragma once

#include <QLabel>
#include <QString>

namespace vantu {

// Sets the text and fixes the label's size, growing it only when the text needs more:
// a label whose size hint changes makes its window lay out and repaint every page.
void SetSteadyText(QLabel& label, const QString& text);

}  // namespace vantu
