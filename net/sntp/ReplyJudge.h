#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/DateTime.h"
#include "net/sntp/NtpPacket.h"
#include "net/sntp/ReplyChecks.h"

namespace velmora {

// A client's request: version 3, or version 4 when it is to carry extension fields (NTS). Its
// transmit words are `nonce`, 64 random bits that a server echoes as the originate words of its
// answer, which is how the answer is recognised and what an off-path forger would have to guess.
// Every other word is zero: the send time T1 stays with the client, and nothing of its clock goes
// out.
TNtpPacket MakeRequest(std::uint64_t nonce, bool withExtensions);

// Whether `datagram` is the answer to `request`: a whole header that echoes its transmit words.
bool AnswersRequest(std::string_view datagram, const TNtpPacket& request);

// What an answer says, judged with the client's send time T1 and receive time T4 (UTC).
struct ReplyJudgement {
    TNtpPacket reply{};
    std::uint8_t leapIndicator = 0;
    std::uint8_t versionNumber = 0;
    std::uint8_t replyMode = 0;
    // The first rule the answer breaks; kNone when its times count.
    ReplyRule rejectedBy = ReplyRule::kNone;
    // The four letters of a kiss-o'-death ("DENY", "RATE", ...); empty for any other answer.
    std::string kissCode;
    // Only when rejectedBy is kNone. The server's time at T4: T4 plus the offset.
    TDateTime serverTime = 0;
    double offsetSeconds = 0;
    double delaySeconds = 0;
};

// Judges an answer of at least 48 bytes; bytes beyond the header are not looked at.
ReplyJudgement JudgeReply(std::string_view datagram, TDateTime t1, TDateTime t4);

}  // namespace velmora
