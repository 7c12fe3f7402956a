#include <gtest/gtest.h>

#include "net/SNTPsend.h"
#include "tests/fixtures/linux/QueryHelpers.h"

namespace velmora {
namespace {

using nettest::TimedQuery;

NtpResponder::Options From(const std::string& address, std::uint16_t port) {
    NtpResponder::Options options = NtpResponder::On(address);
    options.replyAddress = address;
    options.replyPort = port;
    return options;
}

class AddressesTest : public ::testing::Test {
  protected:
    AddressesTest() { client.ReplyTimeout = 1000; }
    TSNTPSend client;
};

// dual.velmora.test is ::1 first, then 127.0.0.2.
TEST_F(AddressesTest, TheAddressesOfANameAreAskedInOrderWithinTheOneTimeout) {
    NtpResponder first(NtpResponder::On("::1"), NtpResponder::Silent());
    NtpResponder second(NtpResponder::On("127.0.0.2"), NtpResponder::Standard(5.0));
    client.ServerHost = "dual.velmora.test";
    const auto answered = TimedQuery(client);
    ASSERT_TRUE(answered.result) << answered.error;
    EXPECT_NEAR(client.OffsetSeconds(), 5.0, 0.02);
    EXPECT_EQ(first.Requests().size(), 1u);
    EXPECT_EQ(second.Requests().size(), 1u);

    second.SetReplyBuilder(NtpResponder::Silent());
    const auto silent = TimedQuery(client);
    EXPECT_FALSE(silent.result);
    EXPECT_EQ(silent.error, wsa::kTimedOut);
    EXPECT_EQ(second.Requests().size(), 2u);
    EXPECT_LT(silent.seconds, 1.5);
}

TEST_F(AddressesTest, AnIpv6ServerCountsOnlyFromItsOwnAddressAndPort) {
    client.ServerHost = "v6.velmora.test";
    {
        NtpResponder otherPort(From("::1", 1230), NtpResponder::Standard(50.0));
        EXPECT_FALSE(client.QueryServer());
        EXPECT_EQ(client.Socket().SocketError, wsa::kTimedOut);
    }
    NtpResponder server(NtpResponder::On("::1"), NtpResponder::Standard(3.0));
    ASSERT_TRUE(client.QueryServer());
    EXPECT_NEAR(client.OffsetSeconds(), 3.0, 0.02);
}

}  // namespace
}  // namespace velmora
