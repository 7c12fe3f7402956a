#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "net/SNTPsend.h"

namespace velmora {
namespace {

// chronyd reads the clock we read, so an offset is only the round trip's asymmetry, which half
// the delay bounds: a busy machine may hold one packet up on one way only.
void ExpectNoOffset(const TSNTPSend& client) {
    EXPECT_LE(std::abs(client.OffsetSeconds()), client.DelaySeconds() / 2 + 0.0005)
        << "offset " << client.OffsetSeconds() << " s, delay " << client.DelaySeconds() << " s";
}

// chronyd serves 127.0.0.1:123 in this namespace and answers from the very clock we read.
TEST(Chronyd, AnswersWithTheLocalClockThroughTheLocalhostName) {
    TSNTPSend client;
    ASSERT_EQ(client.ServerHost, "localhost");
    // A busy machine can hold one packet up on one way only; a quick round trip bounds that.
    TDateTime now = 0;
    double took = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const auto asked = std::chrono::steady_clock::now();
        ASSERT_TRUE(client.QueryServer()) << "error " << client.Socket().SocketError;
        now = CurrentUtcTime();
        took = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
        if (client.DelaySeconds() < 0.002) {
            break;
        }
    }
    // The server's time lies between the asking and now, the round trip within the query.
    EXPECT_NEAR((client.ServerTime() - now) * kSecondsPerDay, 0.0, took + 0.001);
    ExpectNoOffset(client);
    EXPECT_GE(client.DelaySeconds(), -0.001);
    EXPECT_LE(client.DelaySeconds(), took + 0.001);
    EXPECT_EQ(client.ReplyMode(), 4);
    EXPECT_LT(client.LeapIndicator(), 3);
}

// chronyd also serves [::1]:123; v6.velmora.test has an IPv6 address only.
TEST(Chronyd, AnswersOverIpv6ByLiteralAndByName) {
    TSNTPSend client;
    for (const char* host : {"::1", "[::1]", "v6.velmora.test", "127.0.0.1"}) {
        client.ServerHost = host;
        ASSERT_TRUE(client.QueryServer()) << host << " error " << client.Socket().SocketError;
        ExpectNoOffset(client);
    }
}

TEST(Chronyd, AnswersAnIpv4MappedEntryAsIpv4) {
    TSNTPSend client;
    for (const char* host : {"::ffff:127.0.0.1", "[::ffff:127.0.0.1]"}) {
        client.ServerHost = host;
        ASSERT_TRUE(client.QueryServer()) << host << " error " << client.Socket().SocketError;
        EXPECT_EQ(client.Socket().RemoteAddress.Text(), "127.0.0.1") << host;
        ExpectNoOffset(client);
    }
}

TEST(Chronyd, AnswersManyQueriesOnOneSocket) {
    TSNTPSend client;
    client.ServerHost = "127.0.0.1";
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(client.QueryServer()) << i;
        ExpectNoOffset(client);
    }
}

}  // namespace
}  // namespace velmora
