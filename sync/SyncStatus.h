#pragma once

#include <cstdint>
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
// The status lines, then the lines a clock service's last report adds to them.
std::vector<std::string> StatusLines(const SyncStatus& status,
                                     const std::vector<std::string>& serviceLines);

// What the server field shows after a get-time command that no server answered.
inline constexpr const char* kFailedToContact = "Failed to contact time server";
// Asked before a click sets the clock while the machine's own NTP service keeps it.
inline constexpr const char* kTurnOffTimeService =
    "Automatic time synchronization is on: the system's own time service keeps the computer "
    "clock.\n\nTurn it off so that Velmora sets the clock?";

// What the user is told of a clock setting: the box for a refusal (`reason` in the platform's
// words), and for a step the service was refused, its size after the reason.
std::string RefusalText(const std::string& reason);
std::string RefusedStepReason(const std::string& reason, double stepSeconds);
// A step of `offsetSeconds` beyond the limit: the question before a click makes it, and the box
// when a synchronization nobody asked for left it for a click (here, or in the clock service for
// `why`).
std::string LargeStepQuestion(double offsetSeconds, std::int32_t limitSeconds);
std::string LeftForAClickText(double offsetSeconds, std::int32_t limitSeconds);
std::string ServiceLeftForAClickText(const std::string& why);

// A desktop notification.
struct Notification {
    std::string title;
    std::string text;
};
// The last `count` synchronizations nobody asked for got no time; `status` tells the last one's.
Notification NoTimeNotification(int count, const SyncStatus& status);

}  // namespace velmora
