// The signal-analyzer page over the instrument core: what its controls send, what
// they show after remote commands, and the keys it swallows.
#include "pages/analyzer_page_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <algorithm>

#include "instrument_station.h"
#include "qt_test_app.h"
#include "recording_commands.h"

namespace vantu {
namespace {

class AnalyzerPageTest : public ::testing::Test {
  protected:
    AnalyzerPageTest() { station.main_page.pattern_list = {"beam.cfg", "idle.cfg"}; }

    QApplication& app = testing::QtTestApp();
    testing::InstrumentStation station;
    testing::RecordingCommands sink;
    ChassisControls chassis{station.analyzer_page, sink, station.timers, station.prompts,
                            station.logs};
    CCPAGE7DLG page{AnalyzerPageContext{station.page, station.analyzer_page, chassis,
                                        station.main_page, station.dir.path()}};
};

TEST_F(AnalyzerPageTest, EnterAndEscapeAreSwallowed) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_A}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&page, &event);
        EXPECT_EQ(event.isAccepted(), key != Qt::Key_A) << key;
    }
}

TEST_F(AnalyzerPageTest, RemoteCommandsShowOnThePageAndDoubleClickClearsTheList) {
    // The page redraws a moment after each command.
    station.Command("VSG_SET 3 -30");
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.power_box()->currentText() == "-30"; }));
    station.Command("VSG_OPEN");
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.generator_open_button()->text() == "關閉"; }));
    QListWidget& list = *page.message_list();
    ASSERT_EQ(list.count(), static_cast<int>(station.analyzer_page.tcp_messages.lines().size()));
    emit list.itemDoubleClicked(list.item(0));
    EXPECT_TRUE(station.analyzer_page.tcp_messages.lines().empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.count() == 0; }));
}

TEST_F(AnalyzerPageTest, SettingsDialogSetsMarkersThroughTheTextPath) {
    CCVSASETDLG& dialog = *page.settings_dialog();
    station.analyzer.set_trace_count(4);
    EXPECT_FALSE(dialog.value_box(DialogButton::kTraceB)->isEnabled());
    dialog.value_box(DialogButton::kTraceA)->setText(QStringLiteral("2.45"));
    dialog.ClickSet(DialogButton::kTraceA);
    EXPECT_DOUBLE_EQ(station.analyzer.view().marker_hz[3], 2.45e9);

    dialog.sync_box()->setChecked(false);
    EXPECT_TRUE(dialog.value_box(DialogButton::kTraceB)->isEnabled());
    dialog.value_box(DialogButton::kTraceB)->setText(QStringLiteral("5"));
    dialog.unit_box(DialogButton::kTraceB)->setCurrentText(QStringLiteral("Hz"));
    dialog.ClickSet(DialogButton::kTraceB);
    dialog.ClickSet(DialogButton::kTraceC);
    // An empty box sends nothing; what each text does is the analyzer group's test.
    EXPECT_DOUBLE_EQ(station.analyzer.view().marker_hz[1], 5.0);
    const auto& lines = station.analyzer_page.tcp_messages.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[GUI] VSA Set Marker 3 : 正常"), 0);
}

}  // namespace
}  // namespace vantu
