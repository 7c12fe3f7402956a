#include "net/sntp/ReplyJudge.h"

#include <algorithm>
#include <cstring>

#include "net/sntp/Timestamp.h"

namespace velmora {

namespace {

constexpr std::uint8_t kClientRequest = 27;  // leap 0, version 3, mode 3
// Extension fields exist from version 4 on.
constexpr std::uint8_t kExtendedRequest = 0x23;  // leap 0, version 4, mode 3
constexpr std::uint8_t kKissStratum = 0;

// The four letters of a kiss-o'-death; empty for any other reply, and for codes that are not
// printable text.
std::string KissCodeOf(const TNtpPacket& reply) {
    if (reply.Stratum != kKissStratum) {
        return "";
    }
    std::string code(4, '\0');
    std::memcpy(code.data(), &reply.ReferenceId, code.size());
    const bool text =
        std::all_of(code.begin(), code.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    return text ? code : "";
}

}  // namespace

TNtpPacket MakeRequest(std::uint64_t nonce, bool withExtensions) {
    TNtpPacket request{};
    request.LiVnMode = withExtensions ? kExtendedRequest : kClientRequest;
    static_assert(sizeof nonce == sizeof request.TransmitTime);
    std::memcpy(request.TransmitTime, &nonce, sizeof nonce);
    return request;
}

bool AnswersRequest(std::string_view datagram, const TNtpPacket& request) {
    if (datagram.size() < sizeof(TNtpPacket)) {
        return false;
    }
    TNtpPacket answer;
    std::memcpy(&answer, datagram.data(), sizeof answer);
    return answer.OriginateTime[0] == request.TransmitTime[0] &&
           answer.OriginateTime[1] == request.TransmitTime[1];
}

ReplyJudgement JudgeReply(std::string_view datagram, TDateTime t1, TDateTime t4) {
    ReplyJudgement judged;
    std::memcpy(&judged.reply, datagram.data(), std::min(datagram.size(), sizeof judged.reply));
    const TNtpPacket& reply = judged.reply;
    judged.leapIndicator = reply.LiVnMode >> 6;
    judged.versionNumber = (reply.LiVnMode >> 3) & 7;
    judged.replyMode = reply.LiVnMode & 7;
    const TDateTime t2 = DecodeTimestamp(reply.ReceiveTime[0], reply.ReceiveTime[1]);
    const TDateTime t3 = DecodeTimestamp(reply.TransmitTime[0], reply.TransmitTime[1]);
    // The round trip less the time the server held the request.
    const double d = (t4 - t1) - (t3 - t2);
    judged.rejectedBy = BrokenReplyRule({reply, d * kSecondsPerDay});
    if (judged.rejectedBy != ReplyRule::kNone) {
        judged.kissCode = KissCodeOf(reply);
        return judged;
    }
    const double offset = ((t2 - t1) + (t3 - t4)) / 2;
    judged.serverTime = t4 + offset;
    judged.offsetSeconds = offset * kSecondsPerDay;
    judged.delaySeconds = d * kSecondsPerDay;
    return judged;
}

}  // namespace velmora
