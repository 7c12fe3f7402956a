#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>

#include "net/SNTPsend.h"
#include "net/nts/NtsSessions.h"

namespace velmora {
namespace {

// chronyd serves NTS-KE on 127.0.0.1:4460 and [::1]:4460 as nts.velmora.test (and
// v6.velmora.test, ::1), and NTP on port 123; it names no other time server, so the time
// requests go where the key exchange connected.
class ChronydNts : public ::testing::Test {
  protected:
    NtsSessions sessions;
};

TEST_F(ChronydNts, AnswersWithAuthenticatedTimeByNameAndByAddressOverBothFamilies) {
    ASSERT_NE(::getuid(), 0u) << "these tests stand for an ordinary user";
    for (const char* entry : {"nts://nts.velmora.test", "nts://127.0.0.1:4460", "nts://[::1]:4460",
                              "nts://v6.velmora.test"}) {
        TSNTPSend client(DefaultSocketApi(), CurrentUtcTime, sessions);
        client.ServerHost = entry;
        ASSERT_TRUE(client.QueryServer()) << entry << " error " << client.Socket().SocketError;
        // Same clock: the offset is within half the round trip, however busy the machine.
        EXPECT_LE(std::fabs(client.OffsetSeconds()), client.DelaySeconds() / 2 + 0.0005) << entry;
        EXPECT_EQ(client.VersionNumber(), 4);
        EXPECT_GT(client.ReplyData().size(), 48u);
    }
}

}  // namespace
}  // namespace velmora
