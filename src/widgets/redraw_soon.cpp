#include "widgets/redraw_soon.h"

#include <algorithm>

namespace vantu {

RedrawSoon::RedrawSoon(std::function<void()> redraw) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, std::move(redraw));
}

void RedrawSoon::Changed() {
    if (!timer_.isActive()) {
        since_first_change_.start();
    }
    const qint64 left = kLatestMs - since_first_change_.elapsed();
    timer_.start(static_cast<int>(std::clamp<qint64>(left, 0, kQuietMs)));
}

}  // namespace vantu
