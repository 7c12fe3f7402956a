#include "sync/SyncStatus.h"

#include <cmath>
#include <cstdio>

#include "sync/DateTimeText.h"

namespace velmora {
namespace {

std::string Format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Seconds without a sign, in the unit that suits them.
std::string Duration(double seconds) {
    if (seconds < 1) {
        return Format("%.1f ms", seconds * 1000);
    }
    if (seconds < 60) {
        return Format("%.3f s", seconds);
    }
    // Whole minutes, and the seconds left to the millisecond, their zeros dropped.
    const auto milliseconds = static_cast<long long>(std::llround(seconds * 1000));
    const long long minutes = milliseconds / 60000;
    std::string rest = Format("%.3f", static_cast<double>(milliseconds % 60000) / 1000);
    rest.erase(rest.find_last_not_of('0') + 1);
    if (rest.back() == '.') {
        rest.pop_back();
    }
    const std::string hours = minutes >= 60 ? std::to_string(minutes / 60) + " h " : "";
    return hours + std::to_string(minutes % 60) + " min " + rest + " s";
}

// The limit as the user set it, without a sign.
std::string LimitText(std::int32_t limitSeconds) {
    return Duration(std::fabs(static_cast<double>(limitSeconds)));
}

std::vector<std::string> AnswerLines(const SyncStatus& status) {
    const QueryAttempt& answer = *status.answer;
    return {
        "Answer from " + answer.entry +
            (answer.authenticated ? ", authenticated (NTS)" : ", plain SNTP (not authenticated)"),
        "Offset " + SignedDuration(answer.offsetSeconds) + " \u00b1 " +
            Duration(answer.delaySeconds / 2) + ", round trip " + Duration(answer.delaySeconds),
        "Measured " + DateTimeText(status.answeredAt),
    };
}

// Why the clock was left alone; "" when it was not.
std::string LeftAloneLine(const SyncStatus& status) {
    const std::string when = "Clock left alone " + DateTimeText(status.leftAloneAt) + ": ";
    switch (status.leftAlone) {
        case SyncStatus::LeftAlone::NoAnswer:
            return when + "no server gave the time to set it by";
        case SyncStatus::LeftAlone::Agrees:
            return when + "it already agrees with the server within " +
                   Duration(status.agreesWithinSeconds);
        case SyncStatus::LeftAlone::No:
            break;
    }
    return "";
}

std::vector<std::string> FailureLines(const SyncStatus& status) {
    std::vector<std::string> lines{status.failures.size() == 1 ? "The server gave no time:"
                                                               : "No server gave the time:"};
    for (const QueryAttempt& attempt : status.failures) {
        lines.push_back((attempt.entry.empty() ? "(empty entry)" : attempt.entry) + ": " +
                        FailureReason(attempt, status.replyTimeoutSeconds));
    }
    return lines;
}

}  // namespace

std::string SignedDuration(double seconds) {
    return (seconds < 0 ? "-" : "+") + Duration(std::fabs(seconds));
}

std::string FailureReason(const QueryAttempt& attempt, int replyTimeoutSeconds) {
    switch (attempt.failure) {
        case QueryFailure::NameNotFound:
            return "the name does not resolve";
        case QueryFailure::BadAnswer:
            return "its answer was not a valid time";
        case QueryFailure::Unsynchronized:
            return "the server does not know the time";
        case QueryFailure::KissOfDeath:
            return "the server said no (kiss code " + attempt.kissCode + ")";
        case QueryFailure::KeyExchange:
            return "NTS key exchange refused" +
                   (attempt.detail.empty() ? std::string() : ": " + attempt.detail);
        case QueryFailure::NotAvailable:
            return attempt.detail;
        case QueryFailure::None:
        case QueryFailure::NoAnswer:
            break;
    }
    return "no answer within " + std::to_string(replyTimeoutSeconds) + " s" +
           (attempt.authenticated ? "" : ": UDP port 123 may be blocked");
}

std::vector<std::string> StatusLines(const SyncStatus& status) {
    std::vector<std::string> lines;
    if (!status.failures.empty()) {
        lines = FailureLines(status);
    }
    if (status.answer) {
        if (!lines.empty()) {
            lines.push_back("Last answer:");
        }
        const std::vector<std::string> answer = AnswerLines(status);
        lines.insert(lines.end(), answer.begin(), answer.end());
    }
    if (status.stepped) {
        lines.push_back("Clock last set " + DateTimeText(status.steppedAt) + ", by " +
                        SignedDuration(status.stepSeconds));
    } else if (!lines.empty()) {
        lines.push_back("Clock not set since the program started");
    }
    if (const std::string leftAlone = LeftAloneLine(status); !leftAlone.empty()) {
        lines.push_back(leftAlone);
    }
    return lines;
}

std::vector<std::string> StatusLines(const SyncStatus& status,
                                     const std::vector<std::string>& serviceLines) {
    std::vector<std::string> lines = StatusLines(status);
    lines.insert(lines.end(), serviceLines.begin(), serviceLines.end());
    return lines;
}

std::string RefusalText(const std::string& reason) {
    return "Unable to set the computer clock: " + reason;
}

std::string RefusedStepReason(const std::string& reason, double stepSeconds) {
    return reason + " (a step of " + SignedDuration(stepSeconds) + ")";
}

std::string LargeStepQuestion(double offsetSeconds, std::int32_t limitSeconds) {
    return "Setting the computer clock to the server's time moves it by " +
           SignedDuration(offsetSeconds) + ", more than " + LimitText(limitSeconds) +
           ".\n\nSet the clock?";
}

std::string LeftForAClickText(double offsetSeconds, std::int32_t limitSeconds) {
    return ServiceLeftForAClickText("the server's time (not authenticated) is " +
                                    SignedDuration(offsetSeconds) + " from it, more than the " +
                                    LimitText(limitSeconds) +
                                    " a synchronization nobody asked for may move it");
}

std::string ServiceLeftForAClickText(const std::string& why) {
    return "The computer clock was left alone: " + why + ". Click \"Adjust time\" to set it.";
}

Notification NoTimeNotification(int count, const SyncStatus& status) {
    const std::string why = status.failures.empty()
                                ? "every server of the list has refused to be asked"
                                : FailureReason(status.failures.back(), status.replyTimeoutSeconds);
    return {"Velmora cannot get the time",
            "The last " + std::to_string(count) +
                " synchronizations got no time from any server (" + why +
                "). Check the network connection and that the firewall lets UDP port 123 out, "
                "or add other time servers in Properties."};
}

}  // namespace velmora
