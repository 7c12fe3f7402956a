#include <gtest/gtest.h>

#include "net/SNTPsend.h"

namespace velmora {
namespace {

// chronyd serves 127.0.0.1:123 in this namespace and answers from the very clock we read.
TEST(Chronyd, AnswersWithTheLocalClockThroughTheLocalhostName) {
    TSNTPSend client;
    ASSERT_EQ(client.ServerHost, "localhost");
    ASSERT_TRUE(client.QueryServer()) << "error " << client.Socket().SocketError;
    const TDateTime now = CurrentUtcTime();
    EXPECT_NEAR((client.ServerTime() - now) * kSecondsPerDay, 0.0, 0.005);
    EXPECT_NEAR(client.OffsetSeconds(), 0.0, 0.001);
    EXPECT_GE(client.DelaySeconds(), -0.001);
    EXPECT_LT(client.DelaySeconds(), 0.01);
    EXPECT_EQ(client.ReplyMode(), 4);
    EXPECT_LT(client.LeapIndicator(), 3);
}

TEST(Chronyd, AnswersManyQueriesOnOneSocket) {
    TSNTPSend client;
    client.ServerHost = "127.0.0.1";
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(client.QueryServer()) << i;
        EXPECT_NEAR(client.OffsetSeconds(), 0.0, 0.001) << i;
    }
}

}  // namespace
}  // namespace velmora
