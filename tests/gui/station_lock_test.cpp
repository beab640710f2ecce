// The station lock held by another process until it is killed, the file it leaves
// behind, and the refusal a start gets while another user holds the card.
#include "gui/station_lock.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace vantu {
namespace {

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
    EXPECT_EQ(second.holder()->uid, ::getuid());
    EXPECT_EQ(second.holder()->pid, child);

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
