#include "widgets/redraw_soon.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "qt_test_app.h"

namespace vantu {
namespace {

TEST(RedrawSoonTest, ABurstIsOneRedrawAndChangesThatNeverStopAreStillDrawn) {
    testing::QtTestApp();
    int redraws = 0;
    RedrawSoon redraw([&redraws] { ++redraws; });
    for (int i = 0; i < 10; ++i) {
        redraw.Changed();
    }
    EXPECT_EQ(redraws, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return redraws > 0; }));
    EXPECT_EQ(redraws, 1);

    // Lines listed every few milliseconds leave no quiet moment.
    redraws = 0;
    QElapsedTimer changing;
    changing.start();
    while (redraws == 0 && changing.elapsed() < 5000) {
        redraw.Changed();
        QTest::qWait(5);
    }
    EXPECT_EQ(redraws, 1);
}

}  // namespace
}  // namespace vantu
