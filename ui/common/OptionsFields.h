#pragma once

#include <string>
#include <vector>

namespace velmora {

// How the options dialog's fields hold what they show, whichever toolkit draws them.

// The time servers' memo for a "|"-separated server list: one line an entry, in order. A memo's
// final empty line reads back as nothing, so an empty last entry needs a line of its own.
std::vector<std::string> ServerLinesOf(const std::string& serverList);
// The server list of the memo's lines, joined with "|", untrimmed; a final empty line (Enter
// after the last host) is none.
std::string ServerListOf(std::vector<std::string> lines);

// A memo's lines, as typed ("\r\n", "\r" or "\n" between them), and the memo text of lines.
std::vector<std::string> MemoLinesOf(const std::string& text);
std::string MemoTextOf(const std::vector<std::string>& lines);

// Whether the interval field takes a typed character: digits do, and control characters
// (Backspace, the edit shortcuts); any other character is dropped.
bool IntervalFieldTakes(char32_t typed);

}  // namespace velmora
