#pragma once

#include <string>

#include "core/DateTime.h"

namespace velmora {

// The value as the user's short date, one space and long time (platform/DateTimeFormat); the date
// alone when the time of day is exactly 00:00:00 (milliseconds not counted).
std::string DateTimeText(TDateTime value);

}  // namespace velmora
