// When a page redraws after its model changed.
#pragma once

class QTimer;

namespace vantu {

// A redraw waits a moment after the first change and takes in every change made
// meanwhile: a command sent as soon as the last one's reply came is read and answered
// before the redraw, not behind it.
inline constexpr int kRedrawSoonMs = 20;

// Starts the single-shot redraw timer unless it is already running.
void RedrawSoon(QTimer& timer);

}  // namespace vantu
