#include "net/io/linux/synsock.h"

#include <gtest/gtest.h>
#include <netdb.h>

#include <cerrno>
#include <thread>

namespace velmora {
namespace {

TEST(ErrorMapping, SocketErrorsGoByNameOntoTheWindowsNumbers) {
    EXPECT_EQ(MapErrno(0), 0);
    EXPECT_EQ(MapErrno(EWOULDBLOCK), 10035);
    EXPECT_EQ(MapErrno(EAGAIN), 10035);
    EXPECT_EQ(MapErrno(ECONNRESET), 10054);
    EXPECT_EQ(MapErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(MapErrno(ENETUNREACH), 10051);
    EXPECT_EQ(MapErrno(EACCES), 10013);
    EXPECT_EQ(MapErrno(EINTR), 10004);
    EXPECT_EQ(MapErrno(EBADF), 10009);
    EXPECT_EQ(MapErrno(EMSGSIZE), 10040);
    EXPECT_EQ(MapErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(MapErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(MapErrno(EADDRINUSE), 10048);
    // An errno without a Berkeley socket counterpart is still a failure.
    EXPECT_NE(MapErrno(EDOM), 0);
}

TEST(ErrorMapping, LookupFailuresTakeTheNameResolutionNumbers) {
    EXPECT_EQ(MapLookupError(0), 0);
    EXPECT_EQ(MapLookupError(EAI_NONAME), 11001);
    EXPECT_EQ(MapLookupError(EAI_AGAIN), 11002);
    EXPECT_EQ(MapLookupError(EAI_FAIL), 11003);
}

TEST(BsdSocketApi, StartupsAndCleanupsAreCountedInPairs) {
    BsdSocketApi api;
    StartupData data;
    const int before = BsdSocketApi::OutstandingStartups();
    ASSERT_EQ(api.Startup(0x0101, data), 0);
    ASSERT_EQ(api.Startup(0x0101, data), 0);
    EXPECT_EQ(BsdSocketApi::OutstandingStartups(), before + 2);
    EXPECT_EQ(data.Version, 0x0101);
    EXPECT_EQ(api.Cleanup(), 0);
    EXPECT_EQ(api.Cleanup(), 0);
    EXPECT_EQ(BsdSocketApi::OutstandingStartups(), before);
}

TEST(BsdSocketApi, WithoutStartupCallsAreRefused) {
    BsdSocketApi api;
    ASSERT_EQ(BsdSocketApi::OutstandingStartups(), 0);
    EXPECT_EQ(api.Cleanup(), kSocketError);
    EXPECT_EQ(api.LastError(), wsa::kNotInitialised);
    EXPECT_EQ(api.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP), kInvalidSocket);
    EXPECT_EQ(api.LastError(), wsa::kNotInitialised);
    StartupData data;
    EXPECT_EQ(api.Startup(0x0000, data), wsa::kVersionNotSupported);
    EXPECT_EQ(BsdSocketApi::OutstandingStartups(), 0);
}

TEST(BsdSocketApi, TheLastErrorBelongsToTheCallingThread) {
    BsdSocketApi api;
    api.Cleanup();  // fails here: nothing started
    int seenElsewhere = -1;
    std::thread other([&] {
        seenElsewhere = api.LastError();
        api.CloseSocket(-1);
    });
    other.join();
    EXPECT_EQ(seenElsewhere, 0);
    EXPECT_EQ(api.LastError(), wsa::kNotInitialised);
}

}  // namespace
}  // namespace velmora
