#include "widgets/steady_text.h"

#include <gtest/gtest.h>

#include <QBoxLayout>

#include "qt_test_app.h"

namespace vantu {
namespace {

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
