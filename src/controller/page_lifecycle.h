// One tab page as the controller sees it. The controller walks the registered pages
// on every tab selection, timer tick and shutdown, so a new page plugs in here
// instead of being named in the controller.
#pragma once

namespace vantu {

// A page's own refresh timer: armed with first_ms while its tab is shown, re-armed
// with period_ms after every tick, killed when another tab is selected.
struct PageTimer {
    int id = -1;
    int first_ms = 0;
    int period_ms = 0;
};

class PageLifecycle {
  public:
    virtual ~PageLifecycle() = default;

    // The tab that shows this page.
    virtual int tab() const = 0;
    // The page's refresh timer; id -1 when it has none.
    virtual PageTimer timer() const { return {}; }

    // The first tab selection of the run.
    virtual void FirstSelection() {}
    // Every tab selection: this page's tab was selected, or another one was.
    virtual void Shown() {}
    virtual void Hidden() {}
    // The page's timer fired (already killed; the controller re-arms it).
    virtual void Tick() {}
    // A full report was read and is readable, while this page's tab is shown.
    virtual void ReportCompleted() {}
    // The page's step of the controller's shutdown, in registration order.
    virtual void Shutdown() {}
};

}  // namespace vantu
