#include <gtest/gtest.h>

#include "net/SNTPsend.h"
#include "sync/SyncStatus.h"
#include "sync/TimeQuery.h"
#include "tests/fixtures/FakeSntpNetwork.h"
#include "tests/fixtures/FakeSystemClock.h"

namespace velmora {
namespace {

// This program has no GnuTLS or Nettle beside it, and never takes them from anywhere else.
constexpr const char* kNotAvailable =
    "Network Time Security is not available: libgnutls-30.dll, or a library it needs, is not in "
    "the program's folder";

// Without the libraries an nts:// entry fails at once, before any lookup or datagram, and says
// why; it is never asked with plain SNTP, and the next plain entry is asked as ever.
TEST(NtsWithoutLibraries, AnNtsEntryFailsAtOnceSayingWhy) {
    FakeSntpNetwork net;
    net.AddServer("time.example", 46000.5);
    FakeSystemClock clock;
    std::vector<QueryAttempt> seen;
    const QueryOutcome outcome = AskServers(
        {"nts://time.example", "NTS://time.example:4460", "nts://", "time.example"}, true,
        [&] { return net.MakeClient([&] { return clock.UtcNow(); }); }, clock,
        [&](const QueryAttempt& attempt) { seen.push_back(attempt); });

    ASSERT_EQ(outcome.attempts.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        const QueryAttempt& attempt = outcome.attempts[i];
        EXPECT_FALSE(attempt.answered) << attempt.entry;
        EXPECT_TRUE(attempt.authenticated) << attempt.entry;
        EXPECT_EQ(attempt.failure, QueryFailure::NotAvailable) << attempt.entry;
        EXPECT_EQ(FailureReason(attempt, 5), kNotAvailable) << attempt.entry;
    }
    EXPECT_TRUE(outcome.attempts[3].answered);
    EXPECT_TRUE(outcome.answer.has_value());
    EXPECT_EQ(seen.size(), 4u);
    // One lookup and one request: the plain entry's.
    EXPECT_EQ(net.Api.HostLookups, std::vector<std::string>{"time.example"});
    EXPECT_EQ(net.Queried(), std::vector<std::string>{"time.example"});
}

TEST(NtsWithoutLibraries, TheReasonIsTheLastQuerysOnly) {
    FakeSntpNetwork net;
    net.AddSilentServer("down.example");
    const auto client = net.MakeClient([] { return 46000.5; });
    client->ReplyTimeout = 0;
    client->ServerHost = "nts://time.example";
    EXPECT_FALSE(client->QueryServer());
    EXPECT_EQ(client->NotAvailable(), kNotAvailable);
    EXPECT_TRUE(client->KeyExchangeFailure().empty());
    client->ServerHost = "down.example";
    EXPECT_FALSE(client->QueryServer());
    EXPECT_EQ(client->NotAvailable(), "");
}

}  // namespace
}  // namespace velmora
