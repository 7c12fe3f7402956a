#include "net/sntp/ReplyChecks.h"

namespace velmora {

namespace {

constexpr std::uint8_t kServerMode = 4;

struct ReplyCheck {
    ReplyRule rule;
    std::string_view name;
    bool (*holds)(const TNtpPacket& reply);
};

// Timestamp words are compared in network order: zero is zero either way.
constexpr ReplyCheck kReplyChecks[] = {
    {ReplyRule::kLeapIndicator, "test1: leap indicator below 3",
     [](const TNtpPacket& p) { return (p.LiVnMode >> 6) < 3; }},
    {ReplyRule::kMode, "test2: mode 4 (server)",
     [](const TNtpPacket& p) { return (p.LiVnMode & 7) == kServerMode; }},
    {ReplyRule::kStratum, "test3: stratum 1 to 15",
     [](const TNtpPacket& p) { return p.Stratum >= 1 && p.Stratum <= 15; }},
    {ReplyRule::kReceiveTime, "test4: receive seconds not 0",
     [](const TNtpPacket& p) { return p.ReceiveTime[0] != 0; }},
    {ReplyRule::kTransmitTime, "test5: transmit seconds not 0",
     [](const TNtpPacket& p) { return p.TransmitTime[0] != 0; }},
};

}  // namespace

ReplyRule BrokenReplyRule(const TNtpPacket& reply) {
    for (const ReplyCheck& check : kReplyChecks) {
        if (!check.holds(reply)) {
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

}  // namespace velmora
