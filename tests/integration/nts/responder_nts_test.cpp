#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>

#include "net/SNTPsend.h"
#include "net/nts/NtsSessions.h"
#include "tests/fixtures/linux/NtsResponder.h"

namespace velmora {
namespace {

using Fault = NtsResponder::Fault;

class NtsResponderTest : public ::testing::Test {
  protected:
    NtsResponderTest() { client.ReplyTimeout = 2000; }

    // Whether the query succeeded, and in how many seconds.
    std::pair<bool, double> Query(const std::string& entry) {
        client.ServerHost = entry;
        const auto start = std::chrono::steady_clock::now();
        const bool result = client.QueryServer();
        return {result,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
    }

    NtsSessions sessions;
    TSNTPSend client{DefaultSocketApi(), CurrentUtcTime, sessions};
};

struct WrongAnswer {
    const char* name;
    Fault fault;
};

class WrongAnswerTest : public NtsResponderTest,
                        public ::testing::WithParamInterface<WrongAnswer> {};

TEST_P(WrongAnswerTest, IsRejectedAndTheRightAnswerStillWins) {
    NtsResponder server;
    ASSERT_TRUE(Query(server.Entry()).first);
    server.SetFault(GetParam().fault);
    ASSERT_TRUE(Query(server.Entry()).first);
    // The wrong answers are 1000 s off; the right one only by the wait before it.
    EXPECT_LT(std::fabs(client.OffsetSeconds()), 1.0);
    EXPECT_EQ(server.Handshakes(), 1);
    EXPECT_EQ(server.TimeRequests(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Faults, WrongAnswerTest,
                         ::testing::Values(WrongAnswer{"tampered", Fault::kTamperedAuthenticator},
                                           WrongAnswer{"wrongUniqueId", Fault::kWrongUniqueId},
                                           WrongAnswer{"replayed", Fault::kReplay},
                                           WrongAnswer{"unauthenticated", Fault::kUnauthenticated},
                                           WrongAnswer{"nak", Fault::kNak}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NtsResponderTest, CookiesLastTheRunAndAnExpiredOneMeansAFreshHandshake) {
    NtsResponder server;
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(Query(server.Entry()).first) << i;
    }
    EXPECT_EQ(server.Handshakes(), 1);

    server.ExpireCookies();
    EXPECT_FALSE(Query(server.Entry()).first);
    ASSERT_TRUE(Query(server.Entry()).first);
    EXPECT_EQ(server.Handshakes(), 2);
}

TEST_F(NtsResponderTest, AServerThatForgetsItsKeysSilentlyCostsTwoQueriesNotEight) {
    NtsResponder server;
    client.ReplyTimeout = 500;
    ASSERT_TRUE(Query(server.Entry()).first);
    server.ExpireCookies(NtsResponder::Expiry::kSilence);
    EXPECT_FALSE(Query(server.Entry()).first);
    EXPECT_FALSE(Query(server.Entry()).first);
    EXPECT_EQ(server.Handshakes(), 1);
    ASSERT_TRUE(Query(server.Entry()).first);
    EXPECT_EQ(server.Handshakes(), 2);
    EXPECT_EQ(server.TimeRequests(), 4u);
}

TEST_F(NtsResponderTest, KeyExchangeAndTimeOverIpv6) {
    NtsResponder::Options v6;
    v6.address = "::1";
    NtsResponder server(v6);
    for (const std::string& entry : {server.Entry(), server.Entry("v6.velmora.test")}) {
        ASSERT_TRUE(Query(entry).first) << entry;
        EXPECT_LT(std::fabs(client.OffsetSeconds()), 1.0) << entry;
    }
    EXPECT_EQ(server.Handshakes(), 2);
    EXPECT_EQ(client.Socket().RemoteAddress.Text(), "::1");
}

// dual.velmora.test is ::1 first, then 127.0.0.2, where alone the server listens: its key
// exchange connects to the second address, and with no Server record the time requests must go
// there too, not to the name looked up anew.
TEST_F(NtsResponderTest, TimeRequestsGoWhereTheKeyExchangeConnected) {
    NtsResponder::Options options;
    options.address = "127.0.0.2";
    options.serverRecord = false;
    NtsResponder server(options);
    NtpResponder elsewhere(NtpResponder::On("::1", server.TimePort()), NtpResponder::Silent());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(Query(server.Entry("dual.velmora.test")).first) << i;
    }
    EXPECT_EQ(server.TimeRequests(), 2u);
    EXPECT_TRUE(elsewhere.Requests().empty());
}

TEST_F(NtsResponderTest, CookiesOfAKilobyteAreTaken) {
    NtsResponder::Options large;
    large.cookieSize = 1024;
    NtsResponder server(large);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Query(server.Entry()).first) << i;
    }
    EXPECT_EQ(server.Handshakes(), 1);
}

// chronyd answers plain SNTP on 127.0.0.1:123 all along: a fall-back would have succeeded.
TEST_F(NtsResponderTest, AnUntrustedCertificateOrAnotherNameIsRefusedWithoutFallingBack) {
    NtsResponder::Options rogue;
    rogue.certificate = "rogue";
    NtsResponder untrusted(rogue);
    NtsResponder::Options other;
    other.certificate = "other";
    NtsResponder misnamed(other);
    for (const std::string& entry :
         {untrusted.Entry(), untrusted.Entry("nts.velmora.test"), misnamed.Entry(),
          misnamed.Entry("nts.velmora.test"), std::string("nts://wrong.velmora.test")}) {
        EXPECT_FALSE(Query(entry).first) << entry;
        // Why, in the certificate check's own words, for the user to read.
        EXPECT_NE(client.KeyExchangeFailure().find("certificate"), std::string::npos)
            << entry << ": " << client.KeyExchangeFailure();
    }
    EXPECT_FALSE(Query("nts://nowhere.velmora.test").first);
    EXPECT_FALSE(client.NameResolved());
    EXPECT_EQ(untrusted.Handshakes() + misnamed.Handshakes(), 0);
    EXPECT_EQ(untrusted.TimeRequests() + misnamed.TimeRequests(), 0u);
    // The same name with the right certificate is accepted.
    NtsResponder trusted;
    EXPECT_TRUE(Query(trusted.Entry("nts.velmora.test")).first);
}

TEST_F(NtsResponderTest, AHandshakeThatNeverEndsCostsNoMoreThanTheTimeout) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof local;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
    ASSERT_EQ(::listen(listener, 1), 0);  // connections complete, but nobody ever speaks TLS
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&local), &size);
    const std::string entry = "nts://127.0.0.1:" + std::to_string(ntohs(local.sin_port));
    for (const std::int32_t timeout : {500, -5}) {  // -5: no valid limit, so none at all
        client.ReplyTimeout = timeout;
        const auto [result, seconds] = Query(entry);
        EXPECT_FALSE(result) << timeout;
        EXPECT_LT(seconds, 3.0) << timeout;
    }
    ::close(listener);
}

}  // namespace
}  // namespace velmora
