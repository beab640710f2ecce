#include "gui/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "gui/station_directory.h"
#include "temp_dir.h"

namespace vantu {
namespace {

TEST(CommandLine, OptionsAndRefusals) {
    ParsedCommandLine plain = ParseCommandLine({"vantu"});
    ASSERT_TRUE(plain.options);
    EXPECT_FALSE(plain.options->headless);
    EXPECT_FALSE(plain.options->simulate);
    EXPECT_EQ(plain.options->port, 10001);

    ParsedCommandLine all = ParseCommandLine({"vantu", "--simulate", "--headless", "--port", "2"});
    ASSERT_TRUE(all.options);
    EXPECT_TRUE(all.options->headless);
    EXPECT_TRUE(all.options->simulate);
    EXPECT_EQ(all.options->port, 2);
    EXPECT_EQ(ParseCommandLine({"vantu", "--port=65535"}).options->port, 65535);
    EXPECT_EQ(ParseCommandLine({"vantu", "--station", "/srv/a b"}).options->station, "/srv/a b");
    EXPECT_FALSE(plain.options->station);

    // --help and --version are read from the binary in the tools' command line test.
    for (auto bad : {std::vector<std::string>{"vantu", "--port"},
                     {"vantu", "--port", "0"},
                     {"vantu", "--port", "65536"},
                     {"vantu", "--port", "12x"},
                     {"vantu", "-x"},
                     {"vantu", "--station"}}) {
        ParsedCommandLine parsed = ParseCommandLine(bad);
        EXPECT_FALSE(parsed.options) << bad.back();
        EXPECT_EQ(parsed.exit_code, 2) << bad.back();
        EXPECT_TRUE(parsed.error.starts_with("vantu: ") &&
                    parsed.error.ends_with(" (see --help)\n") &&
                    std::ranges::count(parsed.error, '\n') == 1)
            << parsed.error;
    }
}

TEST(StationDirectory, OptionThenCurrentWithSetupThenPerUserFromTheExample) {
    testing::TempDir dir;
    dir.MakeDir("here");
    dir.MakeDir("example");
    dir.MakeDir("example/Log");
    dir.Write("example/setup.ini", "[COM_PORT]\n");
    const StationPlaces places{dir.File("here"), dir.File("data/vantu/station"),
                               dir.File("example")};

    EXPECT_EQ(ChooseStationDirectory(dir.File("here"), places).path, dir.File("here"));
    const StationDirectory missing = ChooseStationDirectory(dir.File("none"), places);
    EXPECT_EQ(missing.path, "");
    EXPECT_EQ(missing.error, "station directory " + dir.File("none") + ": not a directory");

    const StationDirectory made = ChooseStationDirectory(std::nullopt, places);
    EXPECT_EQ(made.path, places.per_user);
    EXPECT_TRUE(made.made);
    EXPECT_EQ(dir.Read("data/vantu/station/setup.ini"), "[COM_PORT]\n");
    EXPECT_TRUE(dir.Exists("data/vantu/station/Log"));
    EXPECT_FALSE(dir.Exists("data/vantu/station.new"));
    EXPECT_FALSE(ChooseStationDirectory(std::nullopt, places).made);

    dir.Write("here/setup.ini", "");
    EXPECT_EQ(ChooseStationDirectory(std::nullopt, places).path, places.current);
    // A build tree has no installed example: the current directory serves as it is.
    EXPECT_EQ(ChooseStationDirectory(std::nullopt,
                                     {dir.File("example/Log"), dir.File("u"), dir.File("x")})
                  .path,
              dir.File("example/Log"));
}

}  // namespace
}  // namespace vantu
