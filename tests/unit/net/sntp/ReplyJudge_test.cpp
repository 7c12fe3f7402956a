#include "net/sntp/ReplyJudge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>

#include "net/sntp/Timestamp.h"
#include "tests/fixtures/ServerReply.h"

namespace velmora {
namespace {

constexpr TDateTime kBase = kNtpEpoch + 3900000000.0 / kSecondsPerDay;
constexpr std::uint32_t kSixteenSeconds = 16u << 16;

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

// An answer stamped T2 and T3, judged with T1 = 0 and T4; times in seconds after the base.
struct JudgeCase {
    const char* name;
    double t2, t3, t4;
    ReplyFields fields;
    ReplyRule broken;
    // Of an answer that counts: d, the offset, and ServerTime - base.
    double delay = 0, offset = 0, serverTime = 0;
};

class NamedChecks : public ::testing::TestWithParam<JudgeCase> {};

TEST_P(NamedChecks, JudgeTheAnswerByItsHeaderAndItsFourTimes) {
    const JudgeCase& c = GetParam();
    ReplyFields fields = c.fields;
    fields.receive = Stamp(c.t2);
    fields.transmit = Stamp(c.t3);
    const TNtpPacket request = MakeRequest(0x0123456789ABCDEFu, false);
    const ReplyJudgement judged = JudgeReply(ServerReply(Bytes(request), fields), At(0), At(c.t4));
    EXPECT_EQ(judged.rejectedBy, c.broken) << ReplyRuleName(judged.rejectedBy);
    if (c.broken != ReplyRule::kNone) {
        return;
    }
    // Each timestamp is cut to tenths of a millisecond on the way.
    EXPECT_NEAR(judged.delaySeconds, c.delay, 2e-4);
    EXPECT_NEAR(judged.offsetSeconds, c.offset, 2e-4);
    EXPECT_NEAR((judged.serverTime - kBase) * kSecondsPerDay, c.serverTime, 2e-4);
}

ReplyFields Root(std::uint32_t delay, std::uint32_t dispersion) {
    ReplyFields fields;
    fields.rootDelay = delay;
    fields.rootDispersion = dispersion;
    return fields;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, NamedChecks,
    ::testing::Values(
        // d = 0.110 - (2.060 - 2.050), offset ((2.050 - 0) + (2.060 - 0.110)) / 2, T4 + offset.
        JudgeCase{"workedExample", 2.050, 2.060, 0.110, {}, ReplyRule::kNone, 0.100, 2.000, 2.110},
        // Half a second between receiving and sending is no part of the round trip.
        JudgeCase{"serverHoldsHalfASecond",
                  2.050,
                  2.550,
                  0.520,
                  {},
                  ReplyRule::kNone,
                  0.020,
                  2.040,
                  2.560},
        JudgeCase{"negativeDelay", 2.050, 2.300, 0.110, {}, ReplyRule::kNegativeDelay},
        // Over loopback the cut of the server's stamps can take a true round trip below zero.
        JudgeCase{"roundTripNearZero",
                  2.0500,
                  2.0502,
                  0.00005,
                  {},
                  ReplyRule::kNone,
                  -0.00015,
                  2.050075,
                  2.050125},
        JudgeCase{"rootDistance65535s", 2.050, 2.060, 0.110, Root(0xFFFFFFFFu, 0xFFFFFFFFu),
                  ReplyRule::kRootDistance},
        JudgeCase{"rootDistance16s", 2.050, 2.060, 0.110, Root(kSixteenSeconds, 8u << 16),
                  ReplyRule::kNone, 0.100, 2.000, 2.110},
        JudgeCase{"rootDispersionJustOver16s", 2.050, 2.060, 0.110, Root(0, kSixteenSeconds + 1),
                  ReplyRule::kRootDistance},
        JudgeCase{"rootDelay40s", 2.050, 2.060, 0.110, Root(40u << 16, 0),
                  ReplyRule::kRootDistance}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NamedChecks, EveryRuleHasAName) {
    std::set<std::string_view> names;
    for (ReplyRule rule :
         {ReplyRule::kLeapIndicator, ReplyRule::kMode, ReplyRule::kStratum, ReplyRule::kReceiveTime,
          ReplyRule::kTransmitTime, ReplyRule::kRootDistance, ReplyRule::kNegativeDelay}) {
        EXPECT_FALSE(ReplyRuleName(rule).empty());
        names.insert(ReplyRuleName(rule));
    }
    EXPECT_EQ(names.size(), 7u);
    EXPECT_TRUE(MeansUnsynchronized(ReplyRule::kRootDistance));
    EXPECT_FALSE(MeansUnsynchronized(ReplyRule::kNegativeDelay));
}

// The request says nothing of our clock; its transmit words are the nonce, and only an answer
// that echoes them is the answer.
TEST(ReplyJudge, TheRequestCarriesTheNonceAndOnlyItsEchoAnswersIt) {
    const std::uint64_t nonce = 0x0123456789ABCDEFu;
    const TNtpPacket request = MakeRequest(nonce, false);
    EXPECT_EQ(request.LiVnMode, 27);
    EXPECT_EQ(MakeRequest(nonce, true).LiVnMode, 0x23);
    EXPECT_EQ(std::memcmp(request.TransmitTime, &nonce, sizeof nonce), 0);
    const std::string bytes = Bytes(request);
    EXPECT_EQ(bytes.substr(1, 39), std::string(39, '\0'));

    const ReplyFields fields = ValidFields(Stamp(2.050));
    const std::string answer = ServerReply(bytes, fields);
    EXPECT_TRUE(AnswersRequest(answer, request));
    EXPECT_FALSE(AnswersRequest(answer.substr(0, 47), request));
    for (std::uint64_t other : {nonce ^ 1, nonce ^ (std::uint64_t{1} << 63), std::uint64_t{0}}) {
        EXPECT_FALSE(AnswersRequest(ServerReply(Bytes(MakeRequest(other, false)), fields), request))
            << other;
    }
}

TEST(ReplyJudge, AKissOfDeathIsRefusedWithItsCode) {
    const TNtpPacket request = MakeRequest(1, false);
    ReplyFields fields = ValidFields(Stamp(2.050));
    fields.stratum = 0;
    fields.referenceId = "RATE";
    const ReplyJudgement kiss = JudgeReply(ServerReply(Bytes(request), fields), At(0), At(0.1));
    EXPECT_EQ(kiss.rejectedBy, ReplyRule::kStratum);
    EXPECT_EQ(kiss.kissCode, "RATE");
}

}  // namespace
}  // namespace velmora
