#include "net/io/HostLookup.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/io/linux/synsock.h"
#include "tests/fixtures/linux/NtpResponder.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::ElementsAre;

// A query turned into its answer "no such name", as a resolver that finally speaks gives it.
std::string NoSuchName(std::string query) {
    if (query.size() >= 4) {
        query[2] = static_cast<char>(query[2] | 0x80);  // a response
        query[3] = static_cast<char>(0x83);             // recursion available, NXDOMAIN
    }
    return query;
}

// The namespace's only resolver is 127.0.0.1:53, played here by a responder that answers no
// query until told to: the system's resolver would wait 30 s for each, keeping one of glibc's
// lookup threads all that time.
class SilentResolverTest : public ::testing::Test {
  protected:
    ~SilentResolverTest() override { EndLookups(); }

    std::vector<SocketAddress> Lookup(const std::string& name, std::int32_t timeout) {
        return api.HostByName(name, timeout);
    }

    // Answers every query so far and from now on, and waits until the lookups waiting for them
    // have ended.
    void EndLookups() {
        resolver.SetReplyBuilder([](const std::string& query) -> std::optional<std::string> {
            return NoSuchName(query);
        });
        for (const NtpResponder::Request& query : resolver.Requests()) {
            resolver.SendTo(NoSuchName(query.bytes), query);
        }
        for (int i = 0; i < 500 && LookupsRunning() > 0; ++i) {
            std::this_thread::sleep_for(10ms);
        }
    }

    NtpResponder resolver{NtpResponder::On("127.0.0.1", 53), NtpResponder::Silent()};
    BsdSocketApi api;
};

const SocketAddress kLoopback = SocketAddress::Ipv4(htonl(INADDR_LOOPBACK));

// A server list of three names the resolver never answers, asked period after period.
TEST_F(SilentResolverTest, ALaterLookupOfAGivenUpNameJoinsTheOneStillRunning) {
    for (int i = 0; i < 50; ++i) {
        const std::string name = "silent" + std::to_string(i % 3) + ".velmora.test";
        EXPECT_TRUE(Lookup(name, 20).empty()) << i;
        EXPECT_EQ(api.LastError(), wsa::kTryAgain) << i;
    }
    EXPECT_EQ(LookupsRunning(), 3u);
    // The queries of three lookups (an A and an AAAA query each), not of fifty.
    EXPECT_TRUE(resolver.WaitForRequests(3, 1s));
    EXPECT_LE(resolver.Requests().size(), 6u);
    EXPECT_THAT(Lookup("localhost", 2000), Contains(kLoopback));
}

TEST_F(SilentResolverTest, LookupsLeftRunningAreCappedUntilTheyEnd) {
    for (int i = 0; i < 50; ++i) {
        EXPECT_TRUE(Lookup("silent" + std::to_string(i) + ".velmora.test", 20).empty()) << i;
        EXPECT_EQ(api.LastError(), wsa::kTryAgain) << i;
    }
    EXPECT_EQ(LookupsRunning(), kMaxLookupsRunning);
    EXPECT_LE(resolver.Requests().size(), 2 * kMaxLookupsRunning);
    // Beyond the cap a new name fails at once, but one of the hosts file is answered from it; a
    // name still being looked up is waited for as before.
    EXPECT_TRUE(Lookup("silent-more.velmora.test", 2000).empty());
    EXPECT_EQ(api.LastError(), wsa::kTryAgain);
    EXPECT_THAT(Lookup("localhost", 2000), Contains(kLoopback));
    EXPECT_EQ(LookupsRunning(), kMaxLookupsRunning);

    EndLookups();
    EXPECT_EQ(LookupsRunning(), 0u);
    EXPECT_THAT(Lookup("localhost", 2000), Contains(kLoopback));
    EXPECT_THAT(
        Lookup("dual.velmora.test", 2000),
        ElementsAre(*SocketAddress::FromText("::1"), SocketAddress::Ipv4(htonl(0x7F000002))));
    EXPECT_TRUE(Lookup("silent0.velmora.test", 2000).empty());
    EXPECT_EQ(api.LastError(), wsa::kHostNotFound);
}

}  // namespace
}  // namespace velmora
