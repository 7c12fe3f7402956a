#include "net/io/blcksock.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <thread>

#include "tests/fixtures/linux/NtpResponder.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

// The socket's own port, known once it has sent something.
NtpResponder::Request LocalEnd(const TUDPBlockSocket& socket) {
    sockaddr_storage local{};
    socklen_t size = sizeof local;
    ::getsockname(socket.Handle, reinterpret_cast<sockaddr*>(&local), &size);
    const auto address = SocketAddress::FromSystem(reinterpret_cast<sockaddr*>(&local), size);
    return {"", "127.0.0.1", ntohs(address.value_or(SocketAddress()).Port())};
}

class RealSocketTest : public ::testing::Test {
  protected:
    void SetUp() override {
        socket.OpenSocket();
        ASSERT_EQ(socket.SocketError, 0);
        socket.ConnectTo("127.0.0.6", "ntp");
        ASSERT_EQ(socket.SendData("hello", 5), 5);
        ASSERT_TRUE(peer.WaitForRequests(1, 1s));
    }
    NtpResponder peer{NtpResponder::On("127.0.0.6"), NtpResponder::Silent()};
    TUDPBlockSocket socket;
};

TEST_F(RealSocketTest, AnEmptyDatagramIsReportedOnceAndConsumed) {
    peer.SendTo("", LocalEnd(socket));
    EXPECT_EQ(socket.ReceivePacket(1000), "");
    EXPECT_EQ(socket.SocketError, wsa::kConnectionReset);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(socket.ReceivePacket(200), "");
    EXPECT_EQ(socket.SocketError, wsa::kTimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 190ms);
    peer.SendTo("after", LocalEnd(socket));
    EXPECT_EQ(socket.ReceivePacket(1000), "after");
    EXPECT_EQ(socket.SocketError, 0);
}

TEST_F(RealSocketTest, ADatagramNotesItsSenderAndALateOneWaitsInTheQueue) {
    EXPECT_EQ(socket.ReceivePacket(100), "");
    EXPECT_EQ(socket.SocketError, wsa::kTimedOut);
    peer.SendTo(std::string(48, 'x'), LocalEnd(socket));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(socket.ReceivePacket(0), std::string(48, 'x'));
    EXPECT_EQ(socket.RemoteAddress.Text(), "127.0.0.6");
    EXPECT_EQ(ntohs(socket.RemoteAddress.Port()), 123);
}

TEST_F(RealSocketTest, MinusOneWaitsWithoutLimit) {
    std::thread late([&] {
        std::this_thread::sleep_for(300ms);
        peer.SendTo("late", LocalEnd(socket));
    });
    EXPECT_EQ(socket.ReceivePacket(-1), "late");
    late.join();
}

// Refused either way: for want of the broadcast option, or (loopback only) of a route.
TEST(RealSocket, ASendToAllOnesIsRefused) {
    TUDPBlockSocket socket;
    socket.OpenSocket();
    socket.ConnectTo("no-such-host.invalid", "ntp");
    EXPECT_EQ(socket.SocketError, 0);
    EXPECT_EQ(socket.SendData("x", 1), kSocketError);
    EXPECT_TRUE(socket.SocketError == wsa::kAccessDenied ||
                socket.SocketError == wsa::kNetworkUnreachable)
        << socket.SocketError;
}

}  // namespace
}  // namespace velmora
