// The analysis software's main window as the page arranges it: found by exact title,
// restored, raised, kept above, moved over the page's frame, asked to close. The
// X11 implementation lives with the Qt page; without a display there is none.
#pragma once

#include <string>

namespace vantu {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class AnalyzerWindows {
  public:
    virtual ~AnalyzerWindows() = default;

    // Finds the top-level window whose title is exactly title; the other calls act
    // on the window found last.
    virtual bool Find(const std::string& title) = 0;
    // Closes a pop-up the window has open; false when it has none.
    virtual bool ClosePopup() = 0;
    virtual void Restore() = 0;
    virtual void Raise(bool activate) = 0;
    virtual void Lower() = 0;
    virtual void SetKeepAbove(bool above) = 0;
    virtual void MoveResize(const ScreenRect& rect) = 0;
    virtual void RequestClose() = 0;
    // The page frame "VSA 向量信號分析" on the screen.
    virtual ScreenRect FrameRect() = 0;
};

}  // namespace vantu
