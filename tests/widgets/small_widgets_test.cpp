#include <gtest/gtest.h>

#include <QImage>

#include "qt_test_app.h"
#include "widgets/health_mark.h"

namespace vantu {
namespace {

using testing::QtTestApp;

TEST(HealthMarkTest, ShowsTheGreenOrTheRedPicture) {
    QtTestApp();
    CHealthMark mark;
    mark.resize(40, 40);
    // A point inside the disc, away from the tick and the cross.
    const QPoint probe(20, 7);
    EXPECT_TRUE(mark.healthy());
    EXPECT_EQ(mark.grab().toImage().pixelColor(probe), QColor(0, 170, 0));
    mark.SetHealthy(false);
    EXPECT_FALSE(mark.healthy());
    EXPECT_EQ(mark.grab().toImage().pixelColor(probe), QColor(210, 0, 0));
}

}  // namespace
}  // namespace vantu
