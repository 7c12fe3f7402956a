#pragma once

#include <array>

namespace velmora {

// The help window's text, one entry a line; some lines end with a blank on purpose.
extern const std::array<const char*, 38> kHelpLines;
// Line numbers (from 1) of the headings set in bold; line 1, the title, is bold and underlined.
inline constexpr std::array<int, 5> kHeadingLines = {7, 13, 17, 33, 36};
inline constexpr int kTitleLine = 1;

}  // namespace velmora
