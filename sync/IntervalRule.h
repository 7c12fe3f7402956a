#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// The period of synchronization as the options dialog shows it and takes it back: a whole number
// of hours or minutes, never negative, whose milliseconds fit the signed 32-bit count the settings
// keep. The dialog's check and the options command both hold to it.

inline constexpr std::int32_t kMillisecondsPerHour = 60 * 60 * 1000;
inline constexpr std::int32_t kMillisecondsPerMinute = 60 * 1000;

// The number shown for a stored interval: whole units, the remainder cut toward zero.
std::string IntervalText(std::int32_t milliseconds, bool hours);

// The milliseconds of the number in `text` (blanks around it allowed, a "+" sign too), or nothing
// when it is no whole number, is negative, or does not fit.
std::optional<std::int32_t> IntervalMilliseconds(const std::string& text, bool hours);

}  // namespace velmora
