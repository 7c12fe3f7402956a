#include <gtest/gtest.h>

#include <pthread.h>

#include <csignal>
#include <thread>

#include "tests/fixtures/linux/QueryHelpers.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using nettest::Flipped;
using nettest::Patched;
using nettest::QueryInBackground;
using nettest::Resized;
using nettest::TimedQuery;

NtpResponder::Options At(const std::string& address, std::uint16_t port = 123) {
    return NtpResponder::On(address, port);
}

class ResponderTest : public ::testing::Test {
  protected:
    ResponderTest() {
        client.ServerHost = "127.0.0.2";
        client.ReplyTimeout = 400;
    }
    TSNTPSend client;
};

TEST_F(ResponderTest, AValidAnswerGivesTheServersOffset) {
    NtpResponder server(At("127.0.0.2"), NtpResponder::Standard(3600.25));
    const auto outcome = TimedQuery(client);
    ASSERT_TRUE(outcome.result);
    // Bounds from this run's own round trip: the responder reads our clock, so a busy machine
    // moves the offset by half the round trip at most.
    EXPECT_NEAR(client.OffsetSeconds(), 3600.25, client.DelaySeconds() / 2 + 0.002);
    EXPECT_GE(client.DelaySeconds(), -0.002);
    EXPECT_LE(client.DelaySeconds(), outcome.seconds + 0.001);
    EXPECT_NEAR((client.ServerTime() - CurrentUtcTime()) * kSecondsPerDay, 3600.25,
                outcome.seconds + 0.05);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].bytes.size(), 48u);
    EXPECT_EQ(requests[0].bytes[0], 27);
}

struct Rejection {
    const char* name;
    std::size_t offset;
    char value;
};

class HeaderRejectionTest : public ResponderTest,
                            public ::testing::WithParamInterface<Rejection> {};

TEST_P(HeaderRejectionTest, IsFalseAtOnce) {
    NtpResponder server(At("127.0.0.2"), Patched(GetParam().offset, GetParam().value));
    client.ReplyTimeout = 3000;
    const auto outcome = TimedQuery(client);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.error, 0);
    EXPECT_LT(outcome.seconds, 1.0);
    EXPECT_EQ(client.Reply().LiVnMode,
              static_cast<std::uint8_t>(GetParam().offset == 0 ? GetParam().value : 0x1C));
}

INSTANTIATE_TEST_SUITE_P(Header, HeaderRejectionTest,
                         ::testing::Values(Rejection{"leap3", 0, '\xDC'},
                                           Rejection{"broadcastMode", 0, 0x1D},
                                           Rejection{"clientMode", 0, 0x1B},
                                           Rejection{"stratum0", 1, 0},
                                           Rejection{"stratum16", 1, 16}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResponderTest, ZeroReceiveOrTransmitSecondsAreRejected) {
    for (const std::size_t offset : {32u, 40u}) {
        NtpResponder server(At("127.0.0.2"),
                            [offset](const std::string& request) -> std::optional<std::string> {
                                auto reply = NtpResponder::StandardReply(request, 0.0);
                                reply.replace(offset, 4, std::string(4, '\0'));
                                return reply;
                            });
        EXPECT_FALSE(client.QueryServer()) << offset;
        EXPECT_EQ(client.Socket().SocketError, 0);
    }
}

TEST_F(ResponderTest, A47ByteReplyIsNoAnswerAndA68ByteOneIs) {
    {
        NtpResponder server(At("127.0.0.2"), Resized(47));
        const auto outcome = TimedQuery(client);
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.error, wsa::kTimedOut);
    }
    NtpResponder server(At("127.0.0.2"), Resized(68));
    ASSERT_TRUE(client.QueryServer());
    EXPECT_EQ(client.ReplyData().size(), 68u);
    EXPECT_NEAR(client.OffsetSeconds(), 0.0, 0.005);
}

TEST_F(ResponderTest, ASilentServerCostsTheDefaultFiveSeconds) {
    NtpResponder server(At("127.0.0.2"), NtpResponder::Silent());
    TSNTPSend fresh;
    fresh.ServerHost = "127.0.0.2";
    const auto outcome = TimedQuery(fresh);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.error, wsa::kTimedOut);
    EXPECT_GE(outcome.seconds, 4.99);
    EXPECT_LT(outcome.seconds, 5.5);
    EXPECT_TRUE(fresh.ReplyData().empty());
    EXPECT_TRUE(server.WaitForRequests(1, 100ms));
}

TEST_F(ResponderTest, ALateReplyFromAnEarlierServerIsNotTheNextAnswer) {
    NtpResponder::Options slow = At("127.0.0.2");
    slow.delay = 400ms;
    NtpResponder first(slow, NtpResponder::Standard(1000.0));
    client.ReplyTimeout = 200;
    ASSERT_FALSE(client.QueryServer());

    NtpResponder::Options later = At("127.0.0.3");
    later.delay = 350ms;
    NtpResponder second(later, NtpResponder::Standard(-20.0));
    client.ServerHost = "127.0.0.3";
    client.ReplyTimeout = 1000;
    ASSERT_TRUE(client.QueryServer());
    // The responder stamps before its delay, which moves the offset by half the delay.
    EXPECT_NEAR(client.OffsetSeconds(), -20.0 - 0.175, 0.02);
}

TEST_F(ResponderTest, RepliesFromAnotherAddressOrPortAreIgnored) {
    for (const auto& [address, port] :
         {std::pair{"127.0.0.3", 123}, std::pair{"127.0.0.2", 1230}}) {
        NtpResponder::Options spoofing = At("127.0.0.2");
        spoofing.replyAddress = address;
        spoofing.replyPort = static_cast<std::uint16_t>(port);
        NtpResponder server(spoofing, NtpResponder::Standard(50.0));
        const auto outcome = TimedQuery(client);
        EXPECT_FALSE(outcome.result) << address << ":" << port;
        EXPECT_EQ(outcome.error, wsa::kTimedOut);
    }
}

TEST_F(ResponderTest, WrongOriginateWordsAreIgnored) {
    // The originate words' last byte is the client's random low bits: setting it to a value
    // would leave one reply in 256 right.
    NtpResponder server(At("127.0.0.2"), Flipped(31));
    const auto outcome = TimedQuery(client);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.error, wsa::kTimedOut);
}

TEST_F(ResponderTest, AnEmptyDatagramAndStrangersDoNotStopTheRealAnswer) {
    NtpResponder::Options slow = At("127.0.0.2");
    slow.delay = 250ms;
    NtpResponder server(slow, NtpResponder::Standard(7.5));
    NtpResponder stranger(At("127.0.0.5"), NtpResponder::Silent());
    client.ReplyTimeout = 2000;
    auto query = QueryInBackground(client);
    ASSERT_TRUE(server.WaitForRequests(1, 1s));
    const auto to = server.Requests()[0];
    server.SendTo("", to);
    stranger.SendTo(NtpResponder::StandardReply(std::string(48, '\0'), 0.0), to);
    const auto outcome = query.get();
    EXPECT_TRUE(outcome.result);
    EXPECT_NEAR(client.OffsetSeconds(), 7.5 - 0.125, 0.02);
}

TEST_F(ResponderTest, StrangersKeepComingButTheDeadlineHolds) {
    NtpResponder server(At("127.0.0.2"), NtpResponder::Silent());
    NtpResponder stranger(At("127.0.0.5"), NtpResponder::Silent());
    auto query = QueryInBackground(client);
    ASSERT_TRUE(server.WaitForRequests(1, 1s));
    const auto to = server.Requests()[0];
    // A stranger every 50 ms, for much longer than the client waits.
    for (int i = 0; i < 80 && query.wait_for(50ms) != std::future_status::ready; ++i) {
        stranger.SendTo(std::string(48, '\x1C'), to);
        server.SendTo("", to);
    }
    const auto outcome = query.get();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.error, wsa::kTimedOut);
    EXPECT_LT(outcome.seconds, 3.0);
}

void IgnoreSignal(int) {}

TEST_F(ResponderTest, ASignalDuringTheWaitDoesNotEndIt) {
    // Without SA_RESTART, as the program's own SIGTERM handler is installed.
    struct sigaction action {};
    action.sa_handler = IgnoreSignal;
    struct sigaction previous {};
    ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);
    NtpResponder::Options slow = At("127.0.0.2");
    slow.delay = 300ms;
    NtpResponder server(slow, NtpResponder::Standard(2.0));
    client.ReplyTimeout = 3000;
    const pthread_t waiting = ::pthread_self();
    std::thread interrupter([&server, waiting] {
        if (server.WaitForRequests(1, 2s)) {
            ::pthread_kill(waiting, SIGUSR1);
        }
    });
    const auto outcome = TimedQuery(client);
    interrupter.join();
    ::sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.error, 0);
}

TEST_F(ResponderTest, AnUnresolvableHostFailsAfterTheTimeout) {
    client.ServerHost = "no-such-host.invalid";
    const auto outcome = TimedQuery(client);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.error, wsa::kTimedOut);
    EXPECT_EQ(client.Socket().RemoteAddress.Ipv4Address(), 0xFFFFFFFFu);
    EXPECT_GE(outcome.seconds, 0.39);
}

// The namespace's only resolver is 127.0.0.1, which the system would wait 30 s for.
TEST_F(ResponderTest, ALookupThatNeverEndsCostsNoMoreThanTheQuerysTimeout) {
    NtpResponder resolver(At("127.0.0.1", 53), NtpResponder::Silent());
    client.ServerHost = "silent.velmora.test";
    const auto outcome = TimedQuery(client);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.error, wsa::kTimedOut);
    EXPECT_TRUE(resolver.WaitForRequests(1, 0ms));
    EXPECT_LT(outcome.seconds, 3.0);
}

TEST_F(ResponderTest, EveryServerOfOneClientSharesTheSocket) {
    NtpResponder a(At("127.0.0.2"), NtpResponder::Standard(1.0));
    NtpResponder b(At("127.0.0.3"), NtpResponder::Standard(2.0));
    ASSERT_TRUE(client.QueryServer());
    client.ServerHost = "127.0.0.3";
    ASSERT_TRUE(client.QueryServer());
    EXPECT_NEAR(client.OffsetSeconds(), 2.0, 0.01);
    EXPECT_EQ(a.Requests()[0].senderPort, b.Requests()[0].senderPort);
}

}  // namespace
}  // namespace velmora
