#include "platform/linux/LinuxClockChangeWatch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <cerrno>
#include <cmath>

namespace velmora {
namespace {

// Only a setting of the clock fires the watch, and no test sets it: what is seen here is the
// quiet side, that time passing alone is no setting and never blocks the window's thread.
TEST(LinuxClockChangeWatch, TimePassingIsNoSetting) {
    int descriptor = -1;
    {
        LinuxClockChangeWatch watch;
        descriptor = watch.Descriptor();
        ASSERT_GE(descriptor, 0);
        EXPECT_TRUE(fcntl(descriptor, F_GETFL) & O_NONBLOCK);
        EXPECT_TRUE(fcntl(descriptor, F_GETFD) & FD_CLOEXEC);
        for (int round = 0; round < 3; ++round) {
            pollfd readable{descriptor, POLLIN, 0};
            EXPECT_EQ(poll(&readable, 1, 40), 0) << round;
            EXPECT_FALSE(watch.TakeSetting());
            EXPECT_LT(std::abs(watch.TakeChangeSeconds()), 1e-4) << round;
        }
    }
    EXPECT_EQ(fcntl(descriptor, F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);
}

}  // namespace
}  // namespace velmora
