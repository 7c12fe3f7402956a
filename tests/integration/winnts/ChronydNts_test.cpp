#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "net/SNTPsend.h"
#include "net/nts/NtsEntry.h"
#include "net/nts/NtsSessions.h"

// Network Time Security in the Windows build, under Wine, against chronyd's NTS server in the
// run's network namespace: GnuTLS and Nettle loaded from beside the program, the certificate
// checked by Windows against the test CA, which the run's Wine took as a trusted root.

namespace velmora {
namespace {

class ChronydNts : public ::testing::Test {
  protected:
    bool Query(const std::string& entry) {
        client.ServerHost = entry;
        return client.QueryServer();
    }

    NtsSessions sessions;
    TSNTPSend client{DefaultSocketApi(), CurrentUtcTime, sessions};
};

TEST_F(ChronydNts, AnswersWithAuthenticatedTimeByNameAndByAddressOverBothFamilies) {
    for (const char* entry : {"nts://nts.velmora.test", "nts://127.0.0.1:4460", "nts://[::1]:4460",
                              "nts://v6.velmora.test"}) {
        ASSERT_TRUE(Query(entry)) << entry << ": " << client.KeyExchangeFailure() << " "
                                  << client.NotAvailable();
        // Same clock: the offset is within half the round trip, however busy the machine.
        EXPECT_LE(std::fabs(client.OffsetSeconds()), client.DelaySeconds() / 2 + 0.001) << entry;
        EXPECT_EQ(client.VersionNumber(), 4);
        // The answer carries its authenticator beyond the 48 bytes of the header.
        EXPECT_GT(client.ReplyData().size(), 48u);
    }
}

struct Refusal {
    const char* entry;
    const char* because;
};

// Certificates Windows does not vouch for: nothing is asked, and never without NTS.
TEST_F(ChronydNts, RefusesACertificateWindowsDoesNotTrustForTheName) {
    for (const Refusal& refusal :
         {Refusal{"nts://untrusted.velmora.test", "no authority this Windows trusts vouches"},
          Refusal{"nts://wrong.velmora.test", "does not name wrong.velmora.test"}}) {
        EXPECT_FALSE(Query(refusal.entry)) << refusal.entry;
        EXPECT_NE(client.KeyExchangeFailure().find(refusal.because), std::string::npos)
            << refusal.entry << ": " << client.KeyExchangeFailure();
        EXPECT_EQ(client.ReplyData(), "") << refusal.entry;
    }
}

// chronyd cannot open a cookie that was tampered with and answers with an NTS NAK: the session
// is given up, and the next query makes a fresh key exchange that is answered.
TEST_F(ChronydNts, ANakLeadsToAFreshKeyExchange) {
    ASSERT_TRUE(Query("nts://nts.velmora.test")) << client.KeyExchangeFailure();
    const std::string key = NtsSessionKey(*ParseNtsEntry("nts://nts.velmora.test"));
    std::optional<NtsSession> session = sessions.Take(key);
    ASSERT_TRUE(session.has_value());
    for (std::string& cookie : session->cookies) {
        cookie[cookie.size() / 2] ^= 0x5A;
    }
    const auto tampered = session->cookies;
    sessions.Keep(key, std::move(*session));

    client.ReplyTimeout = 2000;
    EXPECT_FALSE(Query("nts://nts.velmora.test"));
    EXPECT_FALSE(sessions.Take(key).has_value()) << "a refused session is not kept";

    ASSERT_TRUE(Query("nts://nts.velmora.test")) << client.KeyExchangeFailure();
    session = sessions.Take(key);
    ASSERT_TRUE(session.has_value());
    for (const std::string& cookie : session->cookies) {
        EXPECT_EQ(std::count(tampered.begin(), tampered.end(), cookie), 0);
    }
}

}  // namespace
}  // namespace velmora
