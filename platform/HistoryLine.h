#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

// The history file's whole lines: a line left unfinished by a program killed while writing it is
// not one.
std::vector<std::string> WholeHistoryLines(const std::string& content);
// The records of a history file's `content`; a line of another kind or version is passed over.
std::vector<HistoryRecord> ParseHistory(const std::string& content);
// What a full history becomes: its newest `keepLines` lines, the last of them `line`, each ended.
std::string TrimmedHistory(const std::vector<std::string>& lines, std::size_t keepLines,
                           const std::string& line);

}  // namespace velmora
