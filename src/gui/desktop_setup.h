// What the window needs from the desktop before the first page is built: Qt's own
// dialog texts in Traditional Chinese, like the station's, and the accessible widgets.
#pragma once

class QApplication;

namespace vantu {

// Without Qt's translation files the dialogs keep their English buttons and one line on
// stderr says so; the station starts either way.
void PrepareDesktop(QApplication& app);

}  // namespace vantu
