// What the window needs from the desktop: a display to open, then, before the first page
// is built, Qt's own dialog texts in Traditional Chinese, like the station's, and the
// accessible widgets.
#pragma once

class QApplication;
struct _XDisplay;

namespace vantu {

// Whether QApplication can start: a Qt platform that needs no display (offscreen, vnc),
// a Wayland display, or an X display that opens. Qt itself aborts without one. The X
// connection is held until QApplication has its own: an X server whose last client
// leaves resets and refuses connections meanwhile.
class DisplayProbe {
  public:
    DisplayProbe();
    ~DisplayProbe();
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    bool available() const { return available_; }

  private:
    _XDisplay* display_ = nullptr;
    bool available_ = true;
};

// Without Qt's translation files the dialogs keep their English buttons and one line on
// stderr says so; the station starts either way.
void PrepareDesktop(QApplication& app);

}  // namespace vantu
