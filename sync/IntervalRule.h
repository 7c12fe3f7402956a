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

// A synchronization never runs more often than this, whatever the stored interval says.
inline constexpr std::int32_t kShortestSyncInterval = 60000;

// The period a stored interval gives: a clock set every few milliseconds would be a clock never
// left alone, so a positive interval is raised to the shortest period; zero and negative ones
// never fire (0).
std::int32_t SyncPeriodMilliseconds(std::int32_t stored);

// The number shown for a stored interval: whole units, the remainder cut toward zero.
std::string IntervalText(std::int32_t milliseconds, bool hours);

// The milliseconds of the number in `text` (blanks around it allowed, a "+" sign too), or nothing
// when it is no whole number, is negative, or does not fit.
std::optional<std::int32_t> IntervalMilliseconds(const std::string& text, bool hours);

}  // namespace velmora
