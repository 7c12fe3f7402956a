#include "net/io/windows/synsock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "net/io/NameLookup.h"

namespace velmora {
namespace {

// Winsock counts its start-ups itself; once the last is cleaned up, its calls are refused.
TEST(WinsockApi, StartupsAndCleanupsAreCountedInPairs) {
    WinsockApi api;
    StartupData data;
    ASSERT_EQ(api.Startup(0x0101, data), 0);
    EXPECT_EQ(data.Version, 0x0202);
    EXPECT_NE(data.Description[0], '\0');
    ASSERT_EQ(api.Startup(0x0101, data), 0);
    EXPECT_EQ(api.Cleanup(), 0);
    const SocketHandle handle = api.Socket(AF_INET6, SOCK_DGRAM, IPPROTO_UDP);
    EXPECT_NE(handle, kInvalidSocket) << api.LastError();
    EXPECT_EQ(api.CloseSocket(handle), 0);
    EXPECT_EQ(api.Cleanup(), 0);

    EXPECT_EQ(api.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP), kInvalidSocket);
    EXPECT_EQ(api.LastError(), wsa::kNotInitialised);
    EXPECT_EQ(api.Cleanup(), kSocketError);
    EXPECT_EQ(api.LastError(), wsa::kNotInitialised);
    EXPECT_EQ(api.Startup(0x0000, data), wsa::kVersionNotSupported);
}

class WinsockStarted : public ::testing::Test {
  protected:
    WinsockStarted() { api.Startup(0x0101, data); }
    ~WinsockStarted() override { api.Cleanup(); }

    WinsockApi api;
    StartupData data;
};

// It is the thread's last error of Windows, which the next Windows call may overwrite: read
// straight after the call, as the socket layer does.
TEST_F(WinsockStarted, TheLastErrorIsWinsocksOwnAndBelongsToTheCallingThread) {
    EXPECT_EQ(api.CloseSocket(kInvalidSocket), kSocketError);
    EXPECT_EQ(api.LastError(), wsa::kNotSocket);
    int before = -1;
    int after = -1;
    std::thread other([&] {
        before = api.LastError();
        api.SelectReadable(kInvalidSocket, -5000);
        after = api.LastError();
    });
    other.join();
    EXPECT_EQ(before, 0);
    EXPECT_EQ(after, wsa::kInvalidArgument);
}

TEST_F(WinsockStarted, ReceivesAndSendsAreRefusedForSocketsNeverMadeAndBadLengths) {
    char byte = 0;
    SocketAddress from;
    EXPECT_EQ(api.RecvFrom(kInvalidSocket, &byte, 1, kReceiveNoWait, from), kSocketError);
    EXPECT_EQ(api.LastError(), wsa::kNotSocket);
    EXPECT_EQ(api.SendTo(kInvalidSocket, &byte, -1, 0, from), kSocketError);
    EXPECT_EQ(api.LastError(), wsa::kInvalidArgument);
}

TEST_F(WinsockStarted, ANeverBlockingReceiveOnAQuietSocketFailsAtOnce) {
    const SocketHandle handle = api.Socket(AF_INET6, SOCK_DGRAM, IPPROTO_UDP);
    ASSERT_NE(handle, kInvalidSocket) << api.LastError();
    char byte = 0;
    SocketAddress from;
    EXPECT_EQ(api.RecvFrom(handle, &byte, 0, kReceiveNoWait, from), kSocketError);
    EXPECT_EQ(api.LastError(), wsa::kWouldBlock);
    int pending = -1;
    EXPECT_EQ(api.PendingBytes(handle, pending), 0);
    EXPECT_EQ(pending, 0);
    api.CloseSocket(handle);
}

// What answers names beyond the cap of running lookups.
TEST(WindowsHostsFile, IsTheSystemsOwn) {
    const std::filesystem::path hosts = HostsFile();
    EXPECT_EQ(hosts.filename(), "hosts");
    EXPECT_EQ(hosts.parent_path().filename(), "etc");
    EXPECT_TRUE(std::filesystem::exists(hosts)) << hosts.string();
}

}  // namespace
}  // namespace velmora
