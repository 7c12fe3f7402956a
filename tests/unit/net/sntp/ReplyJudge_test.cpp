#include "net/sntp/ReplyJudge.h"

#include <gtest/gtest.h>

#include <string>

#include "net/sntp/Timestamp.h"
#include "tests/fixtures/ServerReply.h"

namespace velmora {
namespace {

constexpr TDateTime kBase = kNtpEpoch + 3900000000.0 / kSecondsPerDay;

TDateTime At(double seconds) {
    return kBase + seconds / kSecondsPerDay;
}

std::string Bytes(const TNtpPacket& packet) {
    return {reinterpret_cast<const char*>(&packet), sizeof packet};
}

std::string Stamp(double seconds) {
    std::uint32_t words[2];
    EncodeTimestamp(At(seconds), words[0], words[1]);
    return {reinterpret_cast<const char*>(words), sizeof words};
}

// The protocol alone, no socket: the worked example (T1 0, T2 2.050, T3 2.060, T4 0.110 s), a
// kiss-o'-death, and answers that belong to another request.
TEST(ReplyJudge, JudgesAnAnswerAgainstItsRequestAndTheTwoLocalTimes) {
    const TNtpPacket request = MakeRequest(At(0), false);
    EXPECT_EQ(request.LiVnMode, 27);
    EXPECT_EQ(MakeRequest(At(0), true).LiVnMode, 0x23);
    ReplyFields fields = ValidFields(Stamp(2.050));
    fields.transmit = Stamp(2.060);
    const std::string answer = ServerReply(Bytes(request), fields);
    ASSERT_TRUE(AnswersRequest(answer, request));
    const ReplyJudgement judged = JudgeReply(answer, At(0), At(0.110));
    EXPECT_EQ(judged.rejectedBy, ReplyRule::kNone);
    // Each timestamp is cut to tenths of a millisecond on the way.
    EXPECT_NEAR(judged.delaySeconds, 0.120, 5e-4);
    EXPECT_NEAR(judged.offsetSeconds, 2.000, 5e-4);
    EXPECT_NEAR((judged.serverTime - At(2.120)) * kSecondsPerDay, 0, 5e-4);

    fields.stratum = 0;
    fields.referenceId = "RATE";
    const ReplyJudgement kiss = JudgeReply(ServerReply(Bytes(request), fields), At(0), At(0.1));
    EXPECT_EQ(kiss.rejectedBy, ReplyRule::kStratum);
    EXPECT_EQ(kiss.kissCode, "RATE");

    EXPECT_FALSE(AnswersRequest(ServerReply(Bytes(MakeRequest(At(1), false)), fields), request));
    EXPECT_FALSE(AnswersRequest(answer.substr(0, 47), request));
}

}  // namespace
}  // namespace velmora
