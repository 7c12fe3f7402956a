#include "net/sntp/ReplyChecks.h"

#include "core/ByteOrder.h"

namespace velmora {

namespace {

constexpr std::uint8_t kServerMode = 4;
// Each of the server's two stamps is cut to a tenth of a millisecond, which can take nearly that
// much off a true round trip near zero (an answer over loopback); only less than twice that is
// a clock that went back between receiving and sending.
constexpr double kLeastDelaySeconds = -0.0002;

double ShortFormatSeconds(std::uint32_t word) {
    return double(NetworkOrder32(word)) / 65536.0;
}

struct ReplyCheck {
    ReplyRule rule;
    std::string_view name;
    bool (*holds)(const ReplyFacts& facts);
};

// Timestamp words are compared in network order: zero is zero either way.
constexpr ReplyCheck kReplyChecks[] = {
    {ReplyRule::kLeapIndicator, "test1: leap indicator below 3",
     [](const ReplyFacts& f) { return (f.reply.LiVnMode >> 6) < 3; }},
    {ReplyRule::kMode, "test2: mode 4 (server)",
     [](const ReplyFacts& f) { return (f.reply.LiVnMode & 7) == kServerMode; }},
    {ReplyRule::kStratum, "test3: stratum 1 to 15",
     [](const ReplyFacts& f) { return f.reply.Stratum >= 1 && f.reply.Stratum <= 15; }},
    {ReplyRule::kReceiveTime, "test4: receive seconds not 0",
     [](const ReplyFacts& f) { return f.reply.ReceiveTime[0] != 0; }},
    {ReplyRule::kTransmitTime, "test5: transmit seconds not 0",
     [](const ReplyFacts& f) { return f.reply.TransmitTime[0] != 0; }},
    {ReplyRule::kRootDistance, "test6: root distance at most 16 s",
     [](const ReplyFacts& f) { return RootDistanceSeconds(f.reply) <= kMaxRootDistanceSeconds; }},
    {ReplyRule::kNegativeDelay, "test7: delay not negative",
     [](const ReplyFacts& f) { return f.delaySeconds >= kLeastDelaySeconds; }},
};

}  // namespace

ReplyRule BrokenReplyRule(const ReplyFacts& facts) {
    for (const ReplyCheck& check : kReplyChecks) {
        if (!check.holds(facts)) {
            return check.rule;
        }
    }
    return ReplyRule::kNone;
}

std::string_view ReplyRuleName(ReplyRule rule) {
    for (const ReplyCheck& check : kReplyChecks) {
        if (check.rule == rule) {
            return check.name;
        }
    }
    return "";
}

double RootDistanceSeconds(const TNtpPacket& reply) {
    return ShortFormatSeconds(reply.RootDelay) / 2 + ShortFormatSeconds(reply.RootDispersion);
}

bool MeansUnsynchronized(ReplyRule rule) {
    return rule == ReplyRule::kLeapIndicator || rule == ReplyRule::kRootDistance;
}

}  // namespace velmora
