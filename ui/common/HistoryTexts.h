#pragma once

#include <string>
#include <vector>

#include "platform/HistoryStore.h"

namespace velmora {

// The History window's words, whichever toolkit shows them. Numbers are written in the current
// locale's way (the C library's, which both front ends set from the user's).
inline constexpr const char* kHistoryTitle = "History";
inline constexpr const char* kNoHistoryText =
    "No answers yet: the history fills as time servers answer.";
inline constexpr const char* kOffsetCaption = "Offset: the servers' time minus the computer clock";

// "+1.250 s", or with a true minus sign "−0.003 s".
std::string SignedSecondsText(double seconds, int decimals);

// How many answers and steps the history holds, since `since`: the first record's time as the
// front end writes a date and time.
std::string HistorySummaryText(const std::vector<HistoryRecord>& records, const std::string& since);

// The tip of one answer, two lines: when (as the front end writes it) and from which entry, then
// its offset and round trip.
std::string AnswerTipText(const HistoryRecord& answer, const std::string& when);

}  // namespace velmora
