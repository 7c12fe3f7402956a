#include "sync/DriftText.h"

#include <cmath>
#include <cstdio>

namespace velmora {
namespace {

std::string Format(const char* format, double a, double b) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string Count(long n, const char* unit) {
    return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
}

// A length of time in the unit that suits it, cut to whole units.
std::string Duration(double seconds) {
    if (seconds < 3600) {
        return Count(std::lround(std::floor(seconds / 60)), "minute");
    }
    if (seconds < 2 * 86400) {
        return Count(std::lround(std::floor(seconds / 3600)), "hour");
    }
    return Count(std::lround(std::floor(seconds / 86400)), "day");
}

}  // namespace

std::string DriftRateText(const DriftEstimate& drift) {
    if (!drift.known) {
        return "Too few answers yet to tell the drift: it takes " +
               std::to_string(kDriftMinAnswers) + " answers over " +
               Duration(kDriftMinSpanSeconds) + " or more.";
    }
    const double perDay = drift.SecondsPerDay();
    const std::string rate =
        std::abs(perDay) < 0.005
            ? Format("drifts less than %.2f s a day (%+.1f ppm)", 0.01, drift.ppm)
            : Format(
                  perDay > 0 ? "gains %.2f s a day (%+.1f ppm)" : "loses %.2f s a day (%+.1f ppm)",
                  std::abs(perDay), drift.ppm);
    const std::string steps = drift.steps > 0 ? " and " + Count(drift.steps, "step") : "";
    return "The computer clock " + rate + ", from " + Count(drift.answers, "answer") + steps +
           " over " + Duration(drift.spanSeconds) + ".";
}

std::string DriftIntervalText(const DriftEstimate& drift) {
    if (!drift.known) {
        return "";
    }
    const double seconds = drift.SecondsToDriftOneSecond();
    if (seconds > kDriftNegligibleSeconds) {
        return "That is too little to matter: the clock stays within one second of the servers' "
               "time for more than " +
               Duration(kDriftNegligibleSeconds) + ".";
    }
    if (seconds < 60) {
        return "Even synchronizing every minute leaves it more than one second off.";
    }
    return "Synchronizing every " + Duration(seconds) + " keeps it within one second.";
}

}  // namespace velmora
