#include "gui/station_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTabWidget>

#include "gui/desktop_setup.h"
#include "qt_test_app.h"

namespace vantu {
namespace {

// One button stands for Qt's own catalogue being loaded.
TEST(StationWindow, StandardButtonsReadInTraditionalChinese) {
    PrepareDesktop(testing::QtTestApp());
    QMessageBox box;
    box.setStandardButtons(QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("否(&N)"));
}

TEST(StationWindow, TabNotificationsAndClosing) {
    testing::QtTestApp();
    StationWindow window;
    auto* tabs = window.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);

    std::vector<int> selected;
    window.set_on_tab_selected([&](int tab) { selected.push_back(tab); });
    tabs->setCurrentIndex(3);
    // The controller decides what shows; its choice does not notify again.
    window.ShowPage(0);
    EXPECT_EQ(selected, std::vector<int>{3});
    EXPECT_EQ(tabs->currentIndex(), 0);

    int closings = 0;
    window.set_on_closing([&] { ++closings; });
    window.RequestClose();
    window.close();
    EXPECT_EQ(closings, 1);
}

}  // namespace
}  // namespace vantu
