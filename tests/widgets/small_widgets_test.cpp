#include <gtest/gtest.h>

#include <QImage>

#include "qt_test_app.h"
#include "widgets/health_mark.h"

namespace vantu {
namespace {

using testing::QtTestApp;

TEST(HealthMarkTest, StartsWithoutDataThenShowsTheGreenOrTheRedPicture) {
    QtTestApp();
    CHealthMark mark;
    mark.resize(40, 40);
    // A point inside the disc, away from the bar, the tick and the cross.
    const QPoint probe(20, 7);
    const QColor grey(150, 150, 150);
    EXPECT_EQ(mark.state(), MarkState::kNoData);
    EXPECT_EQ(mark.grab().toImage().pixelColor(probe), grey);
    const struct {
        MarkState state;
        QColor fill;
    } cases[] = {{MarkState::kHealthy, QColor(0, 170, 0)},
                 {MarkState::kFaulty, QColor(210, 0, 0)},
                 {MarkState::kNoData, grey}};
    for (const auto& c : cases) {
        mark.SetState(c.state);
        EXPECT_EQ(mark.grab().toImage().pixelColor(probe), c.fill);
    }
}

}  // namespace
}  // namespace vantu
