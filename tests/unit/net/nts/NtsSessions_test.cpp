#include "net/nts/NtsSessions.h"

#include <gtest/gtest.h>

#include "net/nts/NtsExchange.h"
#include "net/nts/NtsExtensions.h"

namespace velmora {
namespace {

NtsSession WithCookies(std::size_t count) {
    NtsSession session;
    session.s2c.fill(2);
    session.cookies.assign(count, std::string(64, 'k'));
    return session;
}

// The authentic answer to the request `exchange` seals, carrying one new cookie.
std::string AuthenticAnswer(const NtsExchange& exchange, const NtsSession& session) {
    const std::string request = exchange.Seal(std::string(48, '\0'));
    const auto fields = ParseExtensionFields(request, 48);
    std::string answer =
        std::string(48, '\0') + MakeExtensionField(ntsfield::kUniqueIdentifier, fields->at(0).body);
    return answer + NtsAuthenticator(answer, std::string(16, 'n'),
                                     MakeExtensionField(ntsfield::kCookie, "fresh"), session.s2c);
}

TEST(NtsSessions, TwoUnansweredRequestsInARowSpendASession) {
    NtsSession session = WithCookies(8);
    NtsExchange(session).Conclude();
    EXPECT_FALSE(Spent(session));
    NtsExchange answered(session);
    ASSERT_TRUE(answered.Accepts(AuthenticAnswer(answered, session)));
    answered.Conclude();
    // An answer in between starts the count again.
    NtsExchange(session).Conclude();
    EXPECT_FALSE(Spent(session));
    NtsExchange(session).Conclude();
    EXPECT_TRUE(Spent(session));
    EXPECT_EQ(session.cookies.size(), 8u - 4u + 1u);  // four spent, one brought
}

}  // namespace
}  // namespace velmora
