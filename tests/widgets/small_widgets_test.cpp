#include <gtest/gtest.h>

#include <QImage>

#include "qt_test_app.h"
#include "status/status_colours.h"
#include "widgets/health_mark.h"
#include "widgets/static_text.h"

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

TEST(StaticTextTest, TakesTextAndBackgroundColours) {
    QtTestApp();
    CStatic text(QStringLiteral("正常"));
    text.resize(60, 20);
    text.SetBackground(Rgb(130, 0, 50));
    text.SetTextColour(Rgb(250, 250, 250));
    EXPECT_EQ(text.palette().color(QPalette::WindowText), QColor(250, 250, 250));
    EXPECT_EQ(text.grab().toImage().pixelColor(1, 1), QColor(130, 0, 50));
}

}  // namespace
}  // namespace vantu
