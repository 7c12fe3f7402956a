#include "net/io/blcksock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fixtures/SocketFakeApi.h"

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class BlockSocketTest : public ::testing::Test {
  protected:
    SocketFakeApi api;
};

TEST_F(BlockSocketTest, EachSocketMakesItsOwnStartupAndCleanup) {
    {
        TUDPBlockSocket first(api);
        TUDPBlockSocket second(api);
        EXPECT_EQ(api.Startups, 2);
        EXPECT_EQ(api.Cleanups, 0);
    }
    EXPECT_EQ(api.Cleanups, 2);
}

TEST_F(BlockSocketTest, AFailedStartupIsNotRecordedButTheSocketIsRefused) {
    api.StartupResult = wsa::kVersionNotSupported;
    api.SocketFailure = wsa::kNotInitialised;
    TUDPBlockSocket socket(api);
    EXPECT_EQ(socket.SocketError, 0);
    socket.OpenSocket();
    EXPECT_EQ(socket.Handle, kInvalidSocket);
    EXPECT_EQ(socket.ProtocolNumber, 17);
    EXPECT_EQ(socket.SocketError, wsa::kNotInitialised);
}

TEST_F(BlockSocketTest, OneSocketForBothFamiliesElseAnIpv4One) {
    TUDPBlockSocket dual(api);
    dual.OpenSocket();
    EXPECT_THAT(api.SocketFamilies, ElementsAre(AF_INET6));
    api.SocketFamilies.clear();
    api.NoIpv6 = true;
    TUDPBlockSocket ipv4(api);
    ipv4.OpenSocket();
    EXPECT_THAT(api.SocketFamilies, ElementsAre(AF_INET6, AF_INET));
    EXPECT_EQ(ipv4.Handle, api.NextHandle);
    EXPECT_EQ(ipv4.SocketError, 0);
}

TEST_F(BlockSocketTest, CloseOnANeverOpenedSocketReportsNothing) {
    {
        TUDPBlockSocket socket(api);
        socket.SocketError = 1234;
        socket.Close();
        EXPECT_EQ(socket.SocketError, 1234);
    }
    // Once by hand, once by the destructor.
    EXPECT_THAT(api.Shutdowns, ElementsAre(-1, -1));
    EXPECT_THAT(api.Closes, ElementsAre(-1, -1));
}

TEST_F(BlockSocketTest, CheckResultTakesTheLastErrorOnlyForMinusOne) {
    TUDPBlockSocket socket(api);
    api.SocketFailure = wsa::kNoBuffers;
    socket.OpenSocket();  // leaves kNoBuffers as the binding's last error
    socket.CheckResult(0);
    EXPECT_EQ(socket.SocketError, 0);
    socket.CheckResult(-1);
    EXPECT_EQ(socket.SocketError, wsa::kNoBuffers);
    socket.CheckResult(48);
    EXPECT_EQ(socket.SocketError, 0);
}

TEST_F(BlockSocketTest, TheBaseStreamOperationsAreNotOffered) {
    TBlockSocket socket(api);
    char byte = 0;
    EXPECT_EQ(socket.SendData(&byte, 1), kSocketError);
    EXPECT_EQ(socket.SocketError, wsa::kOperationNotSupported);
    EXPECT_TRUE(api.Sent.empty());
}

class ResolveTest : public BlockSocketTest {
  protected:
    void SetUp() override {
        api.Hosts["time.example"] = {"10.0.0.1"};
        socket.OpenSocket();
        socket.SocketError = 0;
    }
    TUDPBlockSocket socket{api};
};

TEST_F(ResolveTest, AllOnesNeedsNoLookupAtAll) {
    socket.ConnectTo("255.255.255.255", "ntp");
    EXPECT_EQ(socket.RemoteAddress.Ipv4Address(), 0xFFFFFFFFu);
    EXPECT_EQ(socket.RemoteAddress.Family(), AF_INET);
    EXPECT_THAT(api.InetAddrCalls, IsEmpty());
    EXPECT_THAT(api.HostLookups, IsEmpty());
}

TEST_F(ResolveTest, ADottedAddressNeedsNoHostLookup) {
    socket.ConnectTo("192.168.1.5", "ntp");
    EXPECT_EQ(socket.RemoteAddress.Ipv4Address(), htonl(0xC0A80105));
    EXPECT_THAT(api.InetAddrCalls, ElementsAre("192.168.1.5"));
    EXPECT_THAT(api.HostLookups, IsEmpty());
}

TEST_F(ResolveTest, ANameIsLookedUpAndAnUnknownOneLeavesAllOnesSilently) {
    socket.ConnectTo("time.example", "ntp");
    EXPECT_EQ(socket.RemoteAddress.Ipv4Address(), htonl(0x0A000001));
    socket.ConnectTo("nowhere.invalid", "ntp");
    EXPECT_EQ(socket.RemoteAddress.Ipv4Address(), 0xFFFFFFFFu);
    EXPECT_THAT(api.HostLookups, ElementsAre("time.example", "nowhere.invalid"));
    EXPECT_EQ(socket.SocketError, 0);
}

TEST_F(ResolveTest, Ipv6LiteralsNeedNoHostLookup) {
    for (const char* literal : {"::1", "[::1]"}) {
        socket.ConnectTo(literal, "ntp");
        EXPECT_EQ(socket.RemoteAddress, SocketFakeApi::Address("::1", 123)) << literal;
    }
    EXPECT_THAT(api.HostLookups, IsEmpty());
}

TEST_F(ResolveTest, ANameGivesEveryAddressInTheResolversOrder) {
    api.Hosts["dual.example"] = {"2001:db8::5", "192.0.2.5", "2001:db8::6"};
    EXPECT_THAT(socket.ResolveAddresses("dual.example", "ntp"),
                ElementsAre(SocketFakeApi::Address("2001:db8::5", 123),
                            SocketFakeApi::Address("192.0.2.5", 123),
                            SocketFakeApi::Address("2001:db8::6", 123)));
    socket.ConnectTo("dual.example", "123");
    EXPECT_EQ(socket.RemoteAddress, SocketFakeApi::Address("2001:db8::5", 123));
}

TEST_F(ResolveTest, PortByServiceNameThenDecimalNumber) {
    struct Case {
        const char* port;
        std::uint16_t expected;
    };
    for (const Case& c : {Case{"ntp", 123}, Case{"123", 123}, Case{"nosuch", 0}, Case{"65659", 123},
                          Case{"12x", 0}, Case{"", 0}}) {
        socket.ConnectTo("127.0.0.1", c.port);
        EXPECT_EQ(ntohs(socket.RemoteAddress.Port()), c.expected) << c.port;
    }
}

TEST_F(ResolveTest, WithoutAProtocolEntryTheServiceIsNotAsked) {
    api.Protocols.clear();
    socket.ConnectTo("127.0.0.1", "ntp");
    EXPECT_EQ(socket.RemoteAddress.Port(), 0);
}

class ReceiveTest : public BlockSocketTest {
  protected:
    void SetUp() override { socket.OpenSocket(); }
    TUDPBlockSocket socket{api};
};

TEST_F(ReceiveTest, NothingInTimeIsATimeoutWithTheLimitSplitIntoSecondsAndMicroseconds) {
    EXPECT_EQ(socket.ReceivePacket(5000), "");
    EXPECT_EQ(socket.SocketError, wsa::kTimedOut);
    socket.ReceivePacket(1500);
    socket.ReceivePacket(-1);
    EXPECT_THAT(api.SelectTimeouts, ElementsAre(5000000, 1500000, -1));
}

TEST_F(ReceiveTest, AFailedSelectCountsAsATimeout) {
    api.SelectFailure = wsa::kBadHandle;
    api.Deliver("x", "127.0.0.1", 123);
    EXPECT_EQ(socket.ReceivePacket(100), "");
    EXPECT_EQ(socket.SocketError, wsa::kTimedOut);
}

TEST_F(ReceiveTest, ADatagramIsReadWhole) {
    const std::string datagram(48, '\x5A');
    api.Deliver(datagram, "127.0.0.2", 4567);
    EXPECT_EQ(socket.ReceivePacket(5000), datagram);
    EXPECT_EQ(socket.SocketError, 0);
    EXPECT_THAT(api.ReceiveLengths, ElementsAre(48));
    EXPECT_EQ(socket.RemoteAddress, SocketFakeApi::Address("127.0.0.2", 4567));
}

TEST_F(ReceiveTest, TheBufferIsExactlyThePendingSizeEvenWhenLarge) {
    const std::string datagram(9000, 'q');
    api.Deliver(datagram, "127.0.0.1", 123);
    EXPECT_EQ(socket.ReceivePacket(10), datagram);
    EXPECT_THAT(api.ReceiveLengths, ElementsAre(9000));
}

TEST_F(ReceiveTest, AnEmptyDatagramIsReportedAndDrainedWithoutHarmingTheNext) {
    api.Deliver("", "127.0.0.1", 123);
    api.Deliver("next", "127.0.0.1", 123);
    EXPECT_EQ(socket.ReceivePacket(100), "");
    EXPECT_EQ(socket.SocketError, wsa::kConnectionReset);
    // Drained with a read that can never block.
    ASSERT_EQ(api.ReceiveFlags.size(), 1u);
    EXPECT_EQ(api.ReceiveFlags[0] & kReceiveNoWait, kReceiveNoWait);
    EXPECT_EQ(socket.ReceivePacket(100), "next");
    EXPECT_EQ(socket.SocketError, 0);
}

TEST_F(ReceiveTest, ReadableWithNothingPendingIsAnEmptyRead) {
    api.SpuriousReadable = 1;
    EXPECT_EQ(socket.ReceivePacket(100), "");
    EXPECT_EQ(socket.SocketError, wsa::kConnectionReset);
    EXPECT_EQ(socket.ReceivePacket(100), "");
    EXPECT_EQ(socket.SocketError, wsa::kTimedOut);
}

TEST_F(ReceiveTest, AReceiveErrorIsKeptAndASendErrorIsLostAtTheNextReceive) {
    api.ReceiveFailure = wsa::kConnectionRefused;
    api.Deliver("abc", "127.0.0.1", 123);
    EXPECT_EQ(socket.ReceivePacket(100), "");
    EXPECT_EQ(socket.SocketError, wsa::kConnectionRefused);

    api.SendFailure = wsa::kAccessDenied;
    EXPECT_EQ(socket.SendData("x", 1), kSocketError);
    EXPECT_EQ(socket.SocketError, wsa::kAccessDenied);
    // The datagram the failed read left queued comes next and clears the error.
    EXPECT_EQ(socket.ReceivePacket(0), "abc");
    EXPECT_EQ(socket.SocketError, 0);
}

}  // namespace
}  // namespace velmora
