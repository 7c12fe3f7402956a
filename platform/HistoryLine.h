#pragma once

#include <string>

#include "platform/HistoryStore.h"

namespace velmora {

// Numbers of a record beyond this (in seconds, some 30,000 years) are no time anybody measured:
// such a record is not written, so that every line written reads back.
inline constexpr double kLargestHistoryNumber = 1e12;

// Whether every number of the record is finite and within kLargestHistoryNumber.
bool Writable(const HistoryRecord& record);

// One record as its line (without the line end), and back; nothing for a line that is not one.
// Each kind has its own first word, so that a version reading a kind it does not know (a step by
// another program, to the versions before it) passes over that line and reads the rest.
std::string HistoryLine(const HistoryRecord& record);
bool ParseHistoryLine(const std::string& line, HistoryRecord& record);

}  // namespace velmora
