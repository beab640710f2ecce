// When a page redraws after its model changed.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace vantu {

// A redraw that waits until the changes have stopped for a moment and takes them all in.
// A command that lists lines and then waits (PL, PS, PG) would otherwise find its redraw
// due when it returns, and the client's next command, sent as soon as the reply came,
// would be read behind it. Changes that never stop are drawn every half second.
class RedrawSoon {
  public:
    static constexpr int kQuietMs = 20;
    static constexpr int kLatestMs = 500;

    explicit RedrawSoon(std::function<void()> redraw);

    void Changed();

  private:
    QTimer timer_;
    QElapsedTimer since_first_change_;
};

}  // namespace vantu
