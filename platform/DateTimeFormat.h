#pragma once

#include <string>

#include "core/DateTime.h"

namespace velmora {

// The date of `value` in the user's short date format ("03/05/26", "5.3.2026", ...), UTF-8.
std::string LocalShortDate(TDateTime value);
// The time of day of `value` in the user's long time format ("14:07:09", "2:07:09 PM", ...), UTF-8.
std::string LocalLongTime(TDateTime value);

}  // namespace velmora
