// The health mark, the delayed redraw and the steady label.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>

#include "qt_test_app.h"
#include "widgets/accessible_widgets.h"
#include "widgets/health_mark.h"
#include "widgets/redraw_soon.h"
#include "widgets/steady_text.h"

namespace vantu {
namespace {

TEST(HealthMarkTest, StartsWithoutDataThenShowsAndNamesTheGreenOrTheRedPicture) {
    testing::QtTestApp();
    InstallAccessibleWidgets();
    CHealthMark mark;
    mark.resize(40, 40);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&mark);
    // A point inside the disc, away from the bar, the tick and the cross.
    const auto fill = [&mark] { return mark.grab().toImage().pixelColor(20, 7); };
    const QColor grey(150, 150, 150);
    EXPECT_EQ(fill(), grey);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("no data"));
    mark.SetCaption(QStringLiteral("電源"));
    const struct {
        MarkState state;
        QColor fill;
        const char* word;
    } cases[] = {{MarkState::kHealthy, QColor(0, 170, 0), "healthy"},
                 {MarkState::kFaulty, QColor(210, 0, 0), "faulty"},
                 {MarkState::kNoData, grey, "no data"}};
    for (const auto& c : cases) {
        mark.SetState(c.state);
        EXPECT_EQ(fill(), c.fill);
        EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("電源 ") + c.word);
        EXPECT_EQ(face->text(QAccessible::Description), QLatin1String(c.word));
    }
}

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

struct LayoutRequests : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::LayoutRequest;
        return false;
    }
};

// Each relayout of the window repaints every page: an age ticking down must not cause one.
TEST(SteadyTextTest, TheWindowIsLaidOutAgainOnlyWhenTheTextNeedsMoreRoom) {
    testing::QtTestApp();
    QWidget window;
    auto* label = new QLabel;
    (new QHBoxLayout(&window))->addWidget(label);
    window.show();
    LayoutRequests requests;
    window.installEventFilter(&requests);
    const struct {
        const char* text;
        bool lays_out;
    } steps[] = {{"12 秒前", true}, {"9 秒前", false}, {"12 秒前", false}, {"123456 秒前", true}};
    for (const auto& step : steps) {
        requests.count = 0;
        SetSteadyText(*label, QString::fromUtf8(step.text));
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(requests.count > 0, step.lays_out) << step.text;
        EXPECT_EQ(label->text(), QString::fromUtf8(step.text));
    }
}

}  // namespace
}  // namespace vantu
