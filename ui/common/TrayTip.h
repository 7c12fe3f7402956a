#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace velmora {

// How many UTF-16 units of the hint a tray tip shows, as Windows' tip field holds them.
inline constexpr std::size_t kMaxTipUnits = 127;

// The tray icon's tip: the hint cut to kMaxTipUnits, then every line of `details` (what the time
// shown is worth), which a user wants whole; nothing without a hint or while it is not shown.
std::string TrayTipOf(const std::string& hint, bool showHint, const std::string& details);

// The status lines as one text, a line each, as the tip and the server field's tooltip show them.
std::string LinesText(const std::vector<std::string>& lines);

// The UTF-8 `text` cut to at most `units` UTF-16 units, never in the middle of a character.
std::string CutToUtf16Units(const std::string& text, std::size_t units);

// The tip cut to at most `units` UTF-16 units at a line's end, so that no status line shows cut
// off; when not even the first one fits whole, it shows in part rather than not at all.
std::string CutTipToUnits(const std::string& tip, std::size_t units);

}  // namespace velmora
