#include "gui/desktop_setup.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace vantu {
namespace {

int argc = 1;
char arg0[] = "test_gui";
char* argv[] = {arg0, nullptr};

TEST(DesktopSetup, StandardButtonsReadInTraditionalChinese) {
    QApplication app(argc, argv);
    PrepareDesktop(app);
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    const struct {
        QMessageBox::StandardButton button;
        const char* text;
    } cases[] = {
        {QMessageBox::Yes, "是(&Y)"}, {QMessageBox::No, "否(&N)"}, {QMessageBox::Ok, "確定"}};
    for (const auto& c : cases) {
        EXPECT_EQ(box.button(c.button)->text(), QString::fromUtf8(c.text));
    }
}

}  // namespace
}  // namespace vantu
