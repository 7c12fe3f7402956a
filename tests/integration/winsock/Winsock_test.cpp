#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <string>

#include "net/SNTPsend.h"
#include "net/io/HostLookup.h"
#include "net/io/synsock.h"

// The Windows client over Winsock itself, under Wine, against the chronyd of the run's network
// namespace (127.0.0.1:123 and [::1]:123).

namespace velmora {
namespace {

struct Outcome {
    bool answered = false;
    std::int32_t error = 0;
    bool resolved = true;
    double seconds = 0;
};

// chronyd answers from the very clock the client reads, so the offset is only the difference of
// the two ways' delays: within half the round trip (and the timestamps' tenth of a millisecond).
void ExpectSameClock(const TSNTPSend& client, const std::string& host) {
    EXPECT_LE(std::abs(client.OffsetSeconds()), client.DelaySeconds() / 2 + 0.001) << host;
}

Outcome Query(TSNTPSend& client, const std::string& host) {
    client.ServerHost = host;
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome;
    outcome.answered = client.QueryServer();
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.error = client.Socket().SocketError;
    outcome.resolved = client.NameResolved();
    return outcome;
}

TEST(WinsockClient, ChronydAnswersOverIpv4AndIpv6ByAddressAndByName) {
    TSNTPSend client;
    for (const char* host : {"127.0.0.1", "::1", "[::1]", "localhost"}) {
        const auto asked = std::chrono::steady_clock::now();
        const Outcome outcome = Query(client, host);
        ASSERT_TRUE(outcome.answered) << host << " error " << outcome.error;
        ExpectSameClock(client, host);
        // Bounds from what this run took rather than from a machine's usual speed: the round trip
        // lies within the query, the server's time between the asking and now.
        EXPECT_GE(client.DelaySeconds(), -0.001) << host;
        EXPECT_LE(client.DelaySeconds(), outcome.seconds + 0.001) << host;
        EXPECT_EQ(client.ReplyMode(), 4) << host;
        EXPECT_LT(client.LeapIndicator(), 3) << host;
        const double serverAhead = (client.ServerTime() - CurrentUtcTime()) * kSecondsPerDay;
        const double since =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
        EXPECT_NEAR(serverAhead, 0.0, since + 0.001) << host;
    }
}

TEST(WinsockClient, ManyQueriesOnOneSocket) {
    TSNTPSend client;
    for (int i = 0; i < 20; ++i) {
        const char* host = i % 2 == 0 ? "127.0.0.1" : "::1";
        ASSERT_TRUE(Query(client, host).answered) << i;
        ExpectSameClock(client, host);
    }
}

// Nothing listens on 127.0.0.2:123 (an ICMP "port unreachable" comes back), 192.0.2.1 has no
// route from this namespace (the send itself fails): each is silence to the client, which gives
// up after its five seconds with 10060. A name that does not resolve fails within them too.
TEST(WinsockClient, DeadEntriesFailWithinTheirFiveSeconds) {
    auto ask = [](const char* host) {
        return std::async(std::launch::async, [host] {
            TSNTPSend client;
            return Query(client, host);
        });
    };
    auto unreachablePort = ask("127.0.0.2");
    auto noRoute = ask("192.0.2.1");
    auto noName = ask("no-such-name.invalid");
    for (auto* future : {&unreachablePort, &noRoute}) {
        const Outcome outcome = future->get();
        EXPECT_FALSE(outcome.answered);
        EXPECT_EQ(outcome.error, wsa::kTimedOut);
        EXPECT_GE(outcome.seconds, 4.9);
        EXPECT_LT(outcome.seconds, 5.5);
    }
    const Outcome outcome = noName.get();
    EXPECT_FALSE(outcome.answered);
    EXPECT_FALSE(outcome.resolved);
    EXPECT_LT(outcome.seconds, 5.5);
}

// Windows would fail the next receive with WSAECONNRESET after the ICMP answer of a port nobody
// listens on; the socket is told not to, so the next server's answer is taken.
TEST(WinsockClient, AnUnreachablePortDoesNotSpoilTheNextAnswer) {
    TSNTPSend client;
    client.ReplyTimeout = 300;
    EXPECT_FALSE(Query(client, "127.0.0.2").answered);
    client.ReplyTimeout = 5000;
    const Outcome outcome = Query(client, "127.0.0.1");
    EXPECT_TRUE(outcome.answered) << outcome.error;
}

TEST(WinsockLookups, NamesResolveOnTheirOwnThreadsAndEnd) {
    std::vector<SocketAddress> addresses;
    ASSERT_EQ(LookUpHost("localhost", 5000, addresses), 0);
    EXPECT_NE(
        std::find(addresses.begin(), addresses.end(), SocketAddress::Ipv4(htonl(INADDR_LOOPBACK))),
        addresses.end());
    addresses.clear();
    const int status = LookUpHost("no-such-name.invalid", 5000, addresses);
    EXPECT_TRUE(status == wsa::kHostNotFound || status == wsa::kTryAgain) << status;
    EXPECT_TRUE(addresses.empty());
    EXPECT_EQ(LookupsRunning(), 0u);
}

}  // namespace
}  // namespace velmora
