#include "pages/firmware_page_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "qt_test_app.h"
#include "recording_commands.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

TEST(FirmwarePageTest, ReadButtonPostsAndClearsTheModuleList) {
    testing::QtTestApp();
    FirmwarePageModel model;
    InitFirmwarePage(model);
    model.modules[3][16].text = "0a1b20";
    model.modules[3][1].background = Rgb(150, 150, 150);
    model.modules[3][1].mark = CellMark::kNoData;
    testing::RecordingCommands commands;
    CCPAGE6DLG page(model, commands);
    EXPECT_EQ(page.module_list()->CellRect(0, 0).width(), 25);
    EXPECT_EQ(page.module_list()->cells().At(3, 16).text, "0a1b20");
    EXPECT_EQ(page.unit_list()->cells().At(8, 5).text, "QDX_B12");

    QTest::mouseClick(page.read_button(), Qt::LeftButton);
    EXPECT_EQ(commands.posted, (std::vector<testing::Command>{{6, 1}}));
    EXPECT_EQ(page.module_list()->cells().At(3, 16).text, "");
    EXPECT_EQ(page.module_list()->cells().At(3, 1).mark, CellMark::kNone);

    model.read_enabled = false;
    model.reading = true;
    model.progress = 6300;
    model.progress_total = 12600;
    page.SyncFromModel();
    EXPECT_FALSE(page.read_button()->isEnabled());
    EXPECT_FALSE(page.progress()->isHidden());
    EXPECT_EQ(page.progress()->value(), 50);
    model.reading = false;
    model.warning = "short";
    page.SyncFromModel();
    EXPECT_TRUE(page.progress()->isHidden());
    EXPECT_EQ(page.warning()->text(), "short");
}

TEST(FirmwarePageTest, SpinMovesTheListInFiveSteps) {
    ModuleListSpin spin;
    // Spin position, then the step and the first row it shows.
    const int clicks[][3] = {{499, 4, 67},  {498, 3, 101}, {497, 2, 135}, {496, 1, 160},
                             {495, 1, 160}, {496, 2, 102}, {497, 3, 68},  {498, 4, 34},
                             {499, 5, 0},   {500, 5, 0},   {500, 4, 67}};
    for (const auto& [position, step, row] : clicks) {
        EXPECT_EQ(spin.Scroll(position), row) << position;
        EXPECT_EQ(spin.step(), step) << position;
    }
}

}  // namespace
}  // namespace vantu
