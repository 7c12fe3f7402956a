#pragma once

#include <string_view>

#include "net/sntp/NtpPacket.h"

namespace velmora {

// The rules a reply's header must keep before its timestamps are used, in the order they are
// checked; kNone: every rule holds.
enum class ReplyRule {
    kNone,
    kLeapIndicator,  // test1: the leap indicator is below 3 (3: the server's clock is not set)
    kMode,           // test2: the mode is 4 (a server's answer)
    kStratum,        // test3: the stratum is 1 to 15 (0 is a kiss-o'-death, 16 unsynchronized)
    kReceiveTime,    // test4: the receive seconds are not 0
    kTransmitTime,   // test5: the transmit seconds are not 0
};

// The first rule the header breaks.
ReplyRule BrokenReplyRule(const TNtpPacket& reply);
// "test3: stratum 1 to 15" and the like; "" for kNone.
std::string_view ReplyRuleName(ReplyRule rule);

}  // namespace velmora
