// The analysis software's window arranged over X11 with the EWMH conventions: found
// by its exact title, restored, raised, kept above, moved over the page's frame,
// asked to close. Made only when the station runs on an X display.
#pragma once

#include <memory>
#include <string>

#include "instruments/analyzer_windows.h"

class QWidget;

namespace vantu {

class X11AnalyzerWindows : public AnalyzerWindows {
  public:
    // None when the application does not run on an X display.
    static std::unique_ptr<X11AnalyzerWindows> Open(QWidget& frame);
    ~X11AnalyzerWindows() override;

    bool Find(const std::string& title) override;
    bool ClosePopup() override;
    void Restore() override;
    void Raise(bool activate) override;
    void Lower() override;
    void SetKeepAbove(bool above) override;
    void MoveResize(const ScreenRect& rect) override;
    void RequestClose() override;
    ScreenRect FrameRect() override;

  private:
    // display: the connection of its own, an Xlib Display.
    X11AnalyzerWindows(void* display, QWidget& frame);

    void* display_;
    QWidget& frame_;
    unsigned long window_ = 0;
};

}  // namespace vantu
