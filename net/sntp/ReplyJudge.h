#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/DateTime.h"
#include "net/sntp/NtpPacket.h"
#include "net/sntp/ReplyChecks.h"

namespace velmora {

// A client's request sent at the UTC time `t1`: version 3, or version 4 when it is to carry
// extension fields (NTS). T1 goes into both the originate and the transmit words: servers echo
// the transmit words, which is how their answer is recognised.
TNtpPacket MakeRequest(TDateTime t1, bool withExtensions);

// Whether `datagram` is the answer to `request`: a whole header that echoes its transmit time.
bool AnswersRequest(std::string_view datagram, const TNtpPacket& request);

// What an answer says, judged with the client's send time T1 and receive time T4 (UTC).
struct ReplyJudgement {
    TNtpPacket reply{};
    std::uint8_t leapIndicator = 0;
    std::uint8_t versionNumber = 0;
    std::uint8_t replyMode = 0;
    // The first header rule the answer breaks; kNone when its times count.
    ReplyRule rejectedBy = ReplyRule::kNone;
    // The four letters of a kiss-o'-death ("DENY", "RATE", ...); empty for any other answer.
    std::string kissCode;
    // Only when rejectedBy is kNone:
    TDateTime serverTime = 0;
    double offsetSeconds = 0;
    double delaySeconds = 0;
};

// Judges an answer of at least 48 bytes; bytes beyond the header are not looked at.
ReplyJudgement JudgeReply(std::string_view datagram, TDateTime t1, TDateTime t4);

}  // namespace velmora
