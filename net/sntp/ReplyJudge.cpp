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

TNtpPacket MakeRequest(TDateTime t1, bool withExtensions) {
    TNtpPacket request{};
    request.LiVnMode = withExtensions ? kExtendedRequest : kClientRequest;
    EncodeTimestamp(t1, request.OriginateTime[0], request.OriginateTime[1]);
    EncodeTimestamp(t1, request.TransmitTime[0], request.TransmitTime[1]);
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
    judged.rejectedBy = BrokenReplyRule(reply);
    if (judged.rejectedBy != ReplyRule::kNone) {
        judged.kissCode = KissCodeOf(reply);
        return judged;
    }
    const TDateTime t2 = DecodeTimestamp(reply.ReceiveTime[0], reply.ReceiveTime[1]);
    const TDateTime t3 = DecodeTimestamp(reply.TransmitTime[0], reply.TransmitTime[1]);
    // Receive minus transmit, in that order, as designed: it adds the server's hold time T3 - T2
    // where the textbook subtracts it. The server time (T3 plus half of d) is the figure the
    // controller uses, and a server holds a request for microseconds, below the tenth of a
    // millisecond the timestamps are cut to, so the design's figures are kept as they stand.
    const double d = (t4 - t1) - (t2 - t3);
    judged.serverTime = t3 + d / 2;
    judged.offsetSeconds = ((t2 - t1) + (t3 - t4)) / 2 * kSecondsPerDay;
    judged.delaySeconds = d * kSecondsPerDay;
    return judged;
}

}  // namespace velmora
