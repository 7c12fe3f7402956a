#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "net/io/synsock.h"

namespace velmora {
namespace {

// The platform's own binding (BSD sockets, Winsock), between a start-up and its clean-up.
class PlatformSocketApi : public ::testing::Test {
  protected:
    PlatformSocketApi() { api.Startup(0x0101, data); }
    ~PlatformSocketApi() override { api.Cleanup(); }

    SocketApi& api = DefaultSocketApi();
    StartupData data;
};

TEST_F(PlatformSocketApi, OnlyMinusOneMeansWaitWithoutLimit) {
    EXPECT_EQ(api.SelectReadable(kInvalidSocket, -5000), kSocketError);
    EXPECT_EQ(api.LastError(), wsa::kInvalidArgument);
}

TEST_F(PlatformSocketApi, ASocketThatWasNeverMadeFailsTheWaitAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(api.SelectReadable(kInvalidSocket, 5000000), kSocketError);
    EXPECT_EQ(api.LastError(), wsa::kNotSocket);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(PlatformSocketApi, DatabaseLookupsAndDottedAddresses) {
    EXPECT_EQ(api.ProtocolByNumber(17).value_or(""), "udp");
    EXPECT_EQ(api.ServiceByName("ntp", "udp"), htons(123));
    EXPECT_FALSE(api.ServiceByName("no-such-service-here", "udp").has_value());
    EXPECT_EQ(api.InetAddr("192.168.1.5"), htonl(0xC0A80105));
    EXPECT_EQ(api.InetAddr("time.example"), INADDR_NONE);
    EXPECT_EQ(api.HostByName("127.0.0.1", 1000),
              std::vector{SocketAddress::Ipv4(htonl(INADDR_LOOPBACK))});
    EXPECT_TRUE(api.HostByName("127.0.0.1", -2).empty());
    EXPECT_EQ(api.LastError(), wsa::kInvalidArgument);
}

}  // namespace
}  // namespace velmora
