#include <gtest/gtest.h>

#include "platform/windows/ClockServiceNames.h"
#include "platform/windows/TimeServiceCalls.h"
#include "platform/windows/WindowsMachineOptions.h"
#include "tests/unit/platform/windows/WindowsFakes.h"

namespace velmora {
namespace {

// Wine has no W32Time, and its Service Control Manager is asked for real here.
TEST(TimeService, NoServiceIsNoneThatKeepsTheClockAndNothingToStop) {
    ScmTimeService missing(L"VelmoraNoSuchService");
    EXPECT_FALSE(missing.Query().installed);
    EXPECT_EQ(missing.StopAndDisable(), 0u);
}

// The first answer comes from the thread the options start with, the later ones from the service
// manager again: each as the service manager says.
TEST(TimeService, TheMachinesOptionsAskWhetherTheServiceIsThereEachTime) {
    const bool installed = ScmTimeService(kClockServiceName).Query().installed;
    FakeLauncher launcher;
    const WindowsMachineOptions options(launcher);
    for (int question = 0; question < 3; ++question) {
        EXPECT_EQ(options.Present(), installed) << question;
    }
}

}  // namespace
}  // namespace velmora
