#include <gtest/gtest.h>

#include "platform/windows/TimeServiceCalls.h"

namespace velmora {
namespace {

// Wine has no W32Time, and its Service Control Manager is asked for real here.
TEST(TimeService, NoServiceIsNoneThatKeepsTheClockAndNothingToStop) {
    ScmTimeService missing(L"VelmoraNoSuchService");
    EXPECT_FALSE(missing.Query().installed);
    EXPECT_EQ(missing.StopAndDisable(), 0u);
}

}  // namespace
}  // namespace velmora
