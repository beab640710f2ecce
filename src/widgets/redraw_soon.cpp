#include "widgets/redraw_soon.h"

#include <QTimer>

namespace vantu {

void RedrawSoon(QTimer& timer) {
    if (!timer.isActive()) {
        timer.start(kRedrawSoonMs);
    }
}

}  // namespace vantu
