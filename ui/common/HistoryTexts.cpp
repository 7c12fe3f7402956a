#include "ui/common/HistoryTexts.h"

#include <cmath>
#include <cstdio>

namespace velmora {
namespace {

// U+2212 MINUS SIGN, in UTF-8.
constexpr const char* kMinus = "\xE2\x88\x92";

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Count(long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// How many of the steps other programs made, when any did.
std::string ByOthers(long steps) {
    if (steps == 0) {
        return "";
    }
    return steps == 1 ? " (1 by another program)"
                      : " (" + std::to_string(steps) + " by other programs)";
}

}  // namespace

std::string SignedSecondsText(double seconds, int decimals) {
    return (seconds < 0 ? kMinus : "+") + Fixed(std::abs(seconds), decimals) + " s";
}

std::string HistorySummaryText(const std::vector<HistoryRecord>& records,
                               const std::string& since) {
    if (records.empty()) {
        return "No answers and no steps of the clock kept yet.";
    }
    long answers = 0;
    long authenticated = 0;
    long byOthers = 0;
    for (const HistoryRecord& record : records) {
        answers += record.IsStep() ? 0 : 1;
        authenticated += !record.IsStep() && record.authenticated ? 1 : 0;
        byOthers += record.kind == HistoryRecord::Kind::OtherStep ? 1 : 0;
    }
    const long steps = static_cast<long>(records.size()) - answers;
    return Count(answers, "answer", "answers") + " (" + std::to_string(authenticated) +
           " authenticated) and " + Count(steps, "step", "steps") + " of the clock" +
           ByOthers(byOthers) + " since " + since + ".";
}

std::string AnswerTipText(const HistoryRecord& answer, const std::string& when) {
    return when + ", " + answer.entry + (answer.authenticated ? ", authenticated" : "") +
           "\noffset " + SignedSecondsText(answer.offsetSeconds, 6) + ", round trip " +
           Fixed(answer.delaySeconds, 3) + " s";
}

}  // namespace velmora
