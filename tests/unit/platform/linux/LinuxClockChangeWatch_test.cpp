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
        // The machine's own time service may set the clock meanwhile (a 0.5 ms step was seen):
        // a round that sees a setting is not counted, and three quiet rounds in ten are asked for.
        int quiet = 0;
        for (int round = 0; round < 10 && quiet < 3; ++round) {
            pollfd readable{descriptor, POLLIN, 0};
            const bool ready = poll(&readable, 1, 40) == 1;
            const bool setting = watch.TakeSetting();
            const double change = watch.TakeChangeSeconds();
            if (ready) {
                EXPECT_TRUE(setting) << "readable without a setting, round " << round;
            }
            if (!ready && !setting) {
                EXPECT_LT(std::abs(change), 1e-4) << round;
                ++quiet;
            }
        }
        EXPECT_EQ(quiet, 3);
    }
    EXPECT_EQ(fcntl(descriptor, F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);
}

}  // namespace
}  // namespace velmora
