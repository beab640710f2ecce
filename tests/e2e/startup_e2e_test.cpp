// The station binary started for real in a copy of the example station.
#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "base/encoding.h"
#include "station_process.h"

namespace vantu::testing {
namespace {

TEST(StationStartup, HeadlessLogsStartAndStopsOnSigterm) {
    const std::string station = MakeStationCopy();
    const std::string log = TodayLogPath(station);
    {
        StationProcess vantu(station,
                             {"--headless", "--simulate", "--port", std::to_string(FreePort())});
        ASSERT_TRUE(WaitForFileText(log, ToAnsi(",[GUI] PXIe 控制卡開啟 : 正常\n"), 10000))
            << ReadFile(vantu.error_output_path());
        EXPECT_EQ(vantu.Stop(SIGTERM), 0);
    }
    const std::string bytes = ReadFile(log);
    EXPECT_EQ(bytes.rfind("\x5B\x20\x56\x41\x4E\x54\x55\x20\xB0\x4F\xBF\xFD\xC0\xC9\x20\x5D\x0A\x0A"
                          "\xAE\xC9\xB6\xA1\x2C\x20\x20\xA8\xC6\xA5\xF3\x0A",
                          0),
              0u);
    const std::string text = FromAnsi(bytes);
    for (const char* line : {",--------------------------\n",
                             ",[GUI] VANTU 軟體版本 : VANTU V1.22\n", ",[GUI] 作業系統 : x64\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    // The example station's setup.ini is complete.
    EXPECT_EQ(text.find("setup.ini"), std::string::npos);
    std::filesystem::remove_all(station);
}

TEST(StationStartup, SimulatedFaultsReachTheDayFaultLog) {
    const std::string station = MakeStationCopy();
    std::string faults = TodayLogPath(station);
    faults.replace(faults.size() - 4, 4, ".faults.csv");
    {
        StationProcess vantu(station,
                             {"--headless", "--simulate", "--port", std::to_string(FreePort())});
        ASSERT_TRUE(WaitForFileText(faults, ",fault\n", 15000))
            << ReadFile(vantu.error_output_path());
        EXPECT_EQ(vantu.Stop(SIGTERM), 0);
    }
    std::istringstream lines(ReadFile(faults));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "time,kind,module,Q,E,item,state");
    const std::regex entry(
        R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d,(element|supply|tx|qdxa|interface|health),)"
        R"(\d*,\d*,\d*,[^,]+,(fault|clear))");
    while (std::getline(lines, line)) {
        EXPECT_TRUE(std::regex_match(line, entry)) << line;
    }
    std::filesystem::remove_all(station);
}

TEST(StationStartup, SigintWithoutLogDirectoryStillExitsCleanly) {
    const std::string station = MakeStationCopy();
    std::filesystem::remove_all(station + "/Log");
    StationProcess vantu(station,
                         {"--headless", "--simulate", "--port", std::to_string(FreePort())});
    ASSERT_TRUE(WaitForFileText(vantu.error_output_path(), "station running", 10000));
    EXPECT_EQ(vantu.Stop(SIGINT), 0);
    EXPECT_FALSE(std::filesystem::exists(station + "/Log"));
    std::filesystem::remove_all(station);
}

TEST(StationStartup, WindowedStationRunsTheMainPageAndStopsOnSigterm) {
    // The window on Qt's offscreen platform: the main page, its refresh and the
    // ordered shutdown run as they would on a screen.
    const std::string station = MakeStationCopy();
    const std::string log = TodayLogPath(station);
    StationProcess vantu(station, {"--simulate", "--port", std::to_string(FreePort())});
    ASSERT_TRUE(WaitForFileText(log, ToAnsi(",[TCP] 伺服器 : 已開啟備便\n"), 10000))
        << ReadFile(vantu.error_output_path());
    // The main page shows the card's report once every block was read (after 7 s).
    ASSERT_TRUE(WaitForFileText(vantu.error_output_path(),
                                "vantu: main page shows the card's report", 15000))
        << ReadFile(vantu.error_output_path());
    ASSERT_TRUE(vantu.Running()) << ReadFile(vantu.error_output_path());
    EXPECT_EQ(vantu.Stop(SIGTERM), 0);
    EXPECT_NE(FromAnsi(ReadFile(log)).find(",[TCP] 伺服器通訊 : 已關閉\n"), std::string::npos);
    std::filesystem::remove_all(station);
}

TEST(StationStartup, SecondStartInTheSameDirectoryBringsTheFirstForward) {
    const std::string station = MakeStationCopy();
    StationProcess first(station,
                         {"--headless", "--simulate", "--port", std::to_string(FreePort())});
    ASSERT_TRUE(WaitForFileText(first.error_output_path(), "station running", 10000))
        << ReadFile(first.error_output_path());
    StationProcess second(station,
                          {"--headless", "--simulate", "--port", std::to_string(FreePort())},
                          "second-stderr.txt");
    EXPECT_EQ(second.Wait(10000), 0);
    EXPECT_EQ(ReadFile(second.error_output_path()),
              "vantu: a station already runs here; it was brought forward\n");
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(first.Stop(SIGTERM), 0);

    std::filesystem::remove_all(station);
}

TEST(StationStartup, SigtermDuringAStartUpBoxEndsStartUpAndTheProcess) {
    // Without its colours, setup.ini stops the windowed start-up in a warning box.
    const std::string station = MakeStationCopy();
    std::ofstream(station + "/setup.ini", std::ios::trunc)
        << "[SP_PATTERN]\nFILE_PATH=SP Pattern\n";
    const std::string log = TodayLogPath(station);
    StationProcess vantu(station, {"--simulate", "--port", std::to_string(FreePort())});
    ASSERT_TRUE(WaitForFileText(log, ToAnsi(",[GUI] 作業系統 : x64\n"), 10000))
        << ReadFile(vantu.error_output_path());
    EXPECT_EQ(vantu.Stop(SIGTERM, 5000), 0) << ReadFile(vantu.error_output_path());
    // Start-up went no further than the box: no card, no server.
    const std::string text = FromAnsi(ReadFile(log));
    EXPECT_EQ(text.find("[GUI] PXIe 控制卡開啟"), std::string::npos) << text;
    EXPECT_EQ(text.find("[TCP] 伺服器"), std::string::npos) << text;
    std::filesystem::remove_all(station);
}

}  // namespace
}  // namespace vantu::testing
