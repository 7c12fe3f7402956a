#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/DateTime.h"
#include "sync/TimeQuery.h"

namespace velmora {

// What the time the program shows is worth: the last answer and when it came, the last step of
// the clock, and, when the last get-time command got no time, why each entry failed.
struct SyncStatus {
    std::optional<QueryAttempt> answer;
    TDateTime answeredAt = 0;  // local time
    bool stepped = false;
    TDateTime steppedAt = 0;  // local time
    double stepSeconds = 0;
    // Why the clock was last left alone by a command that was to set it, since its last step.
    enum class LeftAlone { No, NoAnswer, Agrees };
    LeftAlone leftAlone = LeftAlone::No;
    TDateTime leftAloneAt = 0;  // local time
    // Of Agrees: the uncertainty within which the clock and the server's time agree.
    double agreesWithinSeconds = 0;
    // The attempts of the last get-time command when none answered; empty after an answer.
    std::vector<QueryAttempt> failures;
    // The time each entry had to answer in, for the words about silence.
    int replyTimeoutSeconds = 5;
};

// The lines telling it, for the server field's tooltip and the tray tip's later lines; none before
// anything has happened.
std::vector<std::string> StatusLines(const SyncStatus& status);
// A failed attempt's likely reason in plain words ("no answer within 5 s: UDP port 123 may be
// blocked", ...).
std::string FailureReason(const QueryAttempt& attempt, int replyTimeoutSeconds);
// Seconds with their sign and a sensible unit: "+1.234 s", "-12.5 ms", "+2 h 0 min 3 s".
std::string SignedDuration(double seconds);

}  // namespace velmora
