// What a station start reads and takes: its command line, its station directory and the
// station lock, held by another process until it is killed, the file it leaves behind,
// and the refusal a start gets while another user holds the card.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "gui/command_line.h"
#include "gui/station_directory.h"
#include "gui/station_lock.h"
#include "temp_dir.h"

namespace vantu {
namespace {

TEST(CommandLine, OptionsAndRefusals) {
    const auto options = [](std::vector<std::string> arguments) {
        const CommandLine o = ParseCommandLine(arguments).options.value();
        return std::tuple(o.headless, o.simulate, o.port, o.station);
    };
    EXPECT_EQ(options({"vantu"}), std::tuple(false, false, 10001, std::nullopt));
    EXPECT_EQ(
        options({"vantu", "--simulate", "--headless", "--port", "2", "--station", "/srv/a b"}),
        std::tuple(true, true, 2, "/srv/a b"));
    EXPECT_EQ(std::get<2>(options({"vantu", "--port=65535"})), 65535);

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
    EXPECT_EQ(std::pair(made.path, made.made), std::pair(places.per_user, true));
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

TEST(StationLockTest, HeldUntilItsHolderIsKilled) {
    testing::TempDir dir;
    const std::string path = dir.File("card.lock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        StationLock lock(path);
        const char result = lock.Acquire() == LockResult::kAcquired ? 'y' : 'n';
        [[maybe_unused]] const ssize_t sent = ::write(ready[1], &result, 1);
        ::pause();
        ::_exit(0);
    }
    char result = 0;
    ASSERT_EQ(::read(ready[0], &result, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(result, 'y');
    StationLock second(path);
    EXPECT_EQ(second.Acquire(), LockResult::kHeld);
    ASSERT_TRUE(second.holder());
    EXPECT_EQ(std::pair(second.holder()->uid, second.holder()->pid), std::pair(::getuid(), child));

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    // What a killed station leaves behind blocks nothing and is replaced whole.
    dir.Write("card.lock", "4242 999999 left behind\n");
    StationLock third(path);
    EXPECT_EQ(third.Acquire(), LockResult::kAcquired);
    EXPECT_EQ(dir.Read("card.lock"),
              std::to_string(::getuid()) + " " + std::to_string(::getpid()) + "\n");

    StationLock nowhere(dir.File("missing/card.lock"));
    EXPECT_EQ(nowhere.Acquire(), LockResult::kFailed);
    EXPECT_EQ(nowhere.error(), dir.File("missing/card.lock") + ": No such file or directory");
}

TEST(StationLockTest, AnotherUsersStationIsNamedInTheRefusal) {
    constexpr uid_t kNoSuchUser = 2147480000;
    const struct {
        std::optional<LockHolder> holder;
        uid_t own;
        std::optional<std::string> refusal;
    } cases[] = {
        {LockHolder{0, 777}, 0, std::nullopt},
        {LockHolder{0, 777}, kNoSuchUser,
         "vantu: the card is in use by the station of user root (process 777)"},
        {LockHolder{kNoSuchUser, 12}, 0,
         "vantu: the card is in use by the station of user 2147480000 (process 12)"},
        {std::nullopt, 0, "vantu: the card is in use by another station"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartRefusal(c.holder, c.own), c.refusal);
    }
}

}  // namespace
}  // namespace vantu
