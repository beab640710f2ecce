#include "pages/main_page_view.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFocusFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <optional>

#include "base/settings.h"
#include "decoding_commands.h"
#include "fake_ports.h"
#include "pages/antenna_grid.h"
#include "qt_test_app.h"
#include "recording_commands.h"
#include "widgets/health_mark.h"
#include "widgets/qt_colour.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

using Commands = std::vector<testing::Command>;

// Answers the colour chooser from a script.
struct ScriptedColours : ColourChooser {
    std::optional<Colour> Choose(Colour preset) override {
        presets.push_back(preset);
        if (answers.empty()) {
            return std::nullopt;
        }
        const std::optional<Colour> answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // The next answers in order; none queued means cancelled.
    std::deque<std::optional<Colour>> answers;
    std::vector<Colour> presets;
};

class MainPageTest : public ::testing::Test, protected testing::DecoderRig {
  protected:
    MainPageTest() {
        for (int i = 0; i < kTempColourCount; ++i) {
            shared.temp_colours[static_cast<std::size_t>(i)] = {TempColourKey(i),
                                                                Rgb(10 * i, 20, 30)};
        }
        shared.settings_loaded = true;
        model.ref_line_colour = Rgb(0, 0, 255);
        shared.ref_line_colour = Rgb(0, 0, 255);
    }

    CReportCtrl& grid() { return *page.controls().antenna_grid; }
    const GridCellState& LegendCell(int entry) {
        return grid().cells().At(kLegendFirstRow + entry, kLegendColumn);
    }
    void ClickLegend(int entry) {
        const QRect rect = grid().CellRect(kLegendFirstRow + entry, kLegendColumn);
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, rect.center());
    }
    // The list redraws a moment after its model changed.
    QStringList MessageLines() {
        QListWidget& list = *page.controls().messages;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return std::size_t(list.count()) == model.messages.lines().size(); }));
        QStringList lines;
        for (int i = 0; i < list.count(); ++i) {
            lines.push_back(list.item(i)->text());
        }
        return lines;
    }

    QApplication& app = testing::QtTestApp();
    MainPageModel model;
    testing::RecordingCommands commands;
    testing::FakePrompts prompts;
    ScriptedColours colours;
    int report_saves = 0;
    CCPAGE2DLG page{{model, shared, commands, prompts, colours, [this] { ++report_saves; }}};
};

TEST_F(MainPageTest, ViewBoxesSetModeAndTitleAndAskForARefresh) {
    struct Case {
        std::size_t box;
        DisplayMode mode;
        const char* title;
    };
    const Case cases[] = {
        {3, kDisplayQdxaTemperature, "全面QDX-A溫度"},
        {0, kDisplayTrmStatus, "全面天線模組狀態"},
        {0, kDisplayTrmStatus, "全面天線模組狀態"},  // clicking the checked box keeps it
    };
    const auto& boxes = page.controls().view_boxes;
    for (const Case& c : cases) {
        commands.posted.clear();
        boxes[c.box]->click();
        EXPECT_EQ(shared.display_mode, c.mode);
        EXPECT_EQ(page.antenna_title(), QString::fromUtf8(c.title));
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i]->isChecked(), i == c.box) << c.box << " " << i;
        }
        EXPECT_EQ(commands.posted, (Commands{{2, 2}}));
    }
}

TEST_F(MainPageTest, LegendShowsTheTableAndEditsOnlyChangedColours) {
    EXPECT_TRUE(page.menu().legend_off->isChecked());
    ClickLegend(4);  // legend off: no chooser, as the presets below show
    const auto& labels = page.controls().legend_labels;
    EXPECT_TRUE(labels[0]->isHidden());

    page.menu().legend_on->trigger();
    // Each band's label sits right beside its swatch, on the same row.
    const QPoint cells_origin =
        grid().geometry().topLeft() + QPoint(grid().frameWidth(), grid().frameWidth());
    for (const auto& [entry, text] : {std::pair{0, ">74"}, {16, "NULL"}}) {
        const QRect swatch =
            grid().CellRect(kLegendFirstRow + entry, kLegendColumn).translated(cells_origin);
        const QLabel& label = *labels[static_cast<std::size_t>(entry)];
        EXPECT_FALSE(label.isHidden());
        EXPECT_EQ(label.text(), QString::fromUtf8(text));
        EXPECT_EQ(label.geometry().center().y(), swatch.center().y()) << entry;
        EXPECT_GT(label.geometry().left(), swatch.right());
    }
    EXPECT_EQ(LegendCell(0).background, Rgb(0, 20, 30));
    EXPECT_EQ(grid().cells().Tooltip(kLegendFirstRow + 4, kLegendColumn), "55-59");

    colours.answers = {Rgb(40, 20, 30), std::nullopt};  // the same colour, then cancel
    ClickLegend(4);
    ClickLegend(4);
    EXPECT_EQ(colours.presets, (std::vector<Colour>{Rgb(40, 20, 30), Rgb(40, 20, 30)}));

    colours.answers = {Rgb(1, 2, 3)};
    ClickLegend(4);
    EXPECT_EQ(LegendCell(4).background, Rgb(1, 2, 3));
    EXPECT_EQ(shared.temp_colours[4].colour, Rgb(1, 2, 3));
    EXPECT_EQ(shared.temp_colours[3].colour, Rgb(30, 20, 30));
    EXPECT_EQ(commands.posted, (Commands{{2, 11}}));

    page.menu().legend_off->trigger();
    EXPECT_TRUE(labels[4]->isHidden());
    EXPECT_EQ(LegendCell(4).background, kWhite);
    EXPECT_EQ(grid().cells().Tooltip(kLegendFirstRow + 4, kLegendColumn), "");
}

TEST_F(MainPageTest, LegendFallsBackToGreenWithoutSettings) {
    shared.settings_loaded = false;
    page.menu().legend_on->trigger();
    for (int i = 0; i < kTempColourCount; ++i) {
        EXPECT_EQ(LegendCell(i).background, Rgb(0, 100, 0));
    }
}

TEST_F(MainPageTest, ReferenceLineColourIsSavedOnlyWhenChanged) {
    colours.answers = {Rgb(0, 0, 255), std::nullopt, Rgb(255, 0, 0)};
    for (int i = 0; i < 3; ++i) {
        page.menu().ref_colour->trigger();
    }
    EXPECT_EQ(colours.presets, (std::vector<Colour>(3, Rgb(0, 0, 255))));
    EXPECT_EQ(model.ref_line_colour, Rgb(255, 0, 0));
    EXPECT_EQ(shared.ref_line_colour, Rgb(255, 0, 0));
    EXPECT_EQ(grid().overlay_colour(), Rgb(255, 0, 0));
    EXPECT_EQ(commands.posted, (Commands{{2, 10}}));
}

TEST_F(MainPageTest, ResetsAskFirstAndNoSendsNothing) {
    for (const bool yes : {false, true}) {
        prompts.answers = {yes, yes};
        page.menu().reset_reports->trigger();
        page.menu().reset_control_code->trigger();
    }
    EXPECT_EQ(commands.posted, (Commands{{2, 7}, {2, 8}}));
}

TEST_F(MainPageTest, MessageWindowEmptiesPastThirtyLinesAndOnDoubleClick) {
    // Where the list trims is the message list's test; the page trims after each line.
    for (int i = 1; i <= 31; ++i) {
        page.AddMessage("line " + std::to_string(i));
    }
    EXPECT_TRUE(MessageLines().isEmpty());

    page.AddMessage("[GUI] 一");
    EXPECT_EQ(MessageLines(), QStringList{QStringLiteral("[GUI] 一")});
    QListWidget& list = *page.controls().messages;
    emit list.itemDoubleClicked(list.item(0));
    EXPECT_TRUE(MessageLines().isEmpty());
}

// Which item carries the check mark is the off/on menu's, checked with the legend's.
TEST_F(MainPageTest, MessageWindowMenuResizesTheStatusList) {
    const QWidget& status_list = *page.controls().status_list;
    // Alone, the list reaches as far right as the message window does.
    page.menu().messages_off->trigger();
    const int full_right = status_list.geometry().right();
    EXPECT_EQ(full_right, page.controls().messages->geometry().right());
    page.menu().messages_on->trigger();
    EXPECT_TRUE(page.controls().messages->isVisibleTo(&page));
    // The status list gives the message window its room, without overlap.
    EXPECT_LT(status_list.geometry().right(), page.controls().messages->geometry().left());
    page.menu().messages_off->trigger();
    EXPECT_FALSE(page.controls().messages->isVisibleTo(&page));
    EXPECT_EQ(status_list.geometry().right(), full_right);
}

// The run button's alternation is its model's test; the page shows the model.
TEST_F(MainPageTest, ButtonsPostTheirCommands) {
    model.pattern_list = {"a.cfg", "b.cfg"};
    model.pattern_selection = 0;
    model.run_button_enabled = true;
    page.SyncFromModel();
    page.controls().patterns->setCurrentIndex(1);
    EXPECT_EQ(model.pattern_selection, 1);
    QPushButton& run = *page.controls().run;
    const QString idle = run.text();
    run.click();
    EXPECT_NE(run.text(), idle);

    page.controls().load->click();
    page.controls().close->click();
    page.controls().minimise->click();
    for (const char* text : {"", "  ", "abc", "-"}) {  // would read as module 0
        page.controls().ant_no->setText(QString::fromLatin1(text));
        page.controls().set->click();
    }
    page.controls().ant_no->setText(QStringLiteral(" 42"));
    page.controls().set->click();
    EXPECT_EQ(commands.posted, (Commands{{2, 5}, {2, 3}, {2, 0}, {2, 12}, {21, 42}}));

    page.menu().save_reports->trigger();
    EXPECT_EQ(report_saves, 1);
    model.running = false;  // a reset stopped the code
    page.SyncFromModel();
    EXPECT_EQ(run.text(), idle);
}

TEST_F(MainPageTest, KeyboardReachesTheControlsTheMenuAndItsShortcuts) {
    page.show();
    QApplication::setActiveWindow(&page);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    // Tab walks the operator's controls in reading order.
    const MainPageControls& c = page.controls();
    const std::vector<QWidget*> wanted = {
        c.status_list, c.view_boxes[2], c.antenna_grid, c.patterns, c.load, c.close, c.minimise};
    c.status_list->setFocus();
    std::size_t next = 0;
    for (int step = 0; step < 30 && next < wanted.size(); ++step) {
        next += QApplication::focusWidget() == wanted[next];
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(next, wanted.size()) << "the tab walk never reached control " << next;

    // Only the focused grid is framed; the menu key opens its context menu.
    c.antenna_grid->setFocus();
    EXPECT_GE(page.findChildren<QFocusFrame*>().size(), 2);
    for (QFocusFrame* frame : page.findChildren<QFocusFrame*>()) {
        EXPECT_EQ(frame->isVisible(), frame->widget() == c.antenna_grid);
    }
    QContextMenuEvent menu_key(QContextMenuEvent::Keyboard, {},
                               c.antenna_grid->mapToGlobal(QPoint()));
    QApplication::sendEvent(c.antenna_grid, &menu_key);
    EXPECT_TRUE(page.menu().menu->isVisible());
    page.menu().menu->hide();

    QTest::keyClick(c.antenna_grid, Qt::Key_G, Qt::ControlModifier);
    EXPECT_FALSE(grid().grid_lines());
    QTest::keyClick(c.antenna_grid, Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(grid().overlay_visible());
    QTest::keyClick(c.antenna_grid, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(grid().overlay_visible());
}

TEST_F(MainPageTest, TheRefreshPaintsTheGridListAndMarks) {
    report.array(ReportArray::kTrmSts)[17] = 0x8u << 20;  // module 7, E3-Q5 faulty
    report.array(ReportArray::kSts)[4] = 0x0000FFFF;
    MainPageRefresh refresh(decoder, report, shared);
    EXPECT_EQ(page.controls().indicators[0]->state(), MarkState::kNoData);
    page.controls().view_boxes[0]->click();  // " TRM 狀態"
    refresh.Refresh(&page);

    // One cell of each surface; what each cell shows is the refresh's own test.
    EXPECT_EQ(grid().cells().At(22, 14).background, Rgb(210, 0, 0));
    EXPECT_EQ(page.controls().status_list->cells().At(4, 4).text, "異常");
    EXPECT_EQ(page.controls().indicators[0]->state(), MarkState::kFaulty);
}

}  // namespace
}  // namespace vantu
