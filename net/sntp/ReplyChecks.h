#pragma once

#include <string_view>

#include "net/sntp/NtpPacket.h"

namespace velmora {

// The rules a reply must keep before its times are used, in the order they are checked; kNone:
// every rule holds.
enum class ReplyRule {
    kNone,
    kLeapIndicator,  // test1: the leap indicator is below 3 (3: the server's clock is not set)
    kMode,           // test2: the mode is 4 (a server's answer)
    kStratum,        // test3: the stratum is 1 to 15 (0 is a kiss-o'-death, 16 unsynchronized)
    kReceiveTime,    // test4: the receive seconds are not 0
    kTransmitTime,   // test5: the transmit seconds are not 0
    kRootDistance,   // test6: root delay / 2 + root dispersion is at most 16 s
    kNegativeDelay,  // test7: the round trip is not negative (the server's clock went back)
};

// The largest root distance of a server that still knows the time, in seconds.
inline constexpr double kMaxRootDistanceSeconds = 16.0;

// What the rules look at: the reply's header and the round trip (T4 - T1) - (T3 - T2) it gives.
struct ReplyFacts {
    const TNtpPacket& reply;
    double delaySeconds = 0;
};

// The first rule the reply breaks.
ReplyRule BrokenReplyRule(const ReplyFacts& facts);
// "test3: stratum 1 to 15" and the like; "" for kNone.
std::string_view ReplyRuleName(ReplyRule rule);
// Root delay / 2 + root dispersion, from the reply's two 16.16 fields, in seconds.
double RootDistanceSeconds(const TNtpPacket& reply);
// Whether breaking `rule` means the server says it does not know the time itself.
bool MeansUnsynchronized(ReplyRule rule);

}  // namespace velmora
