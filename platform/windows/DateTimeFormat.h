#pragma once

#include <string>

#include "core/DateTime.h"

namespace velmora {

// The short date and long time of `value` in the locale named `locale` ("de-DE", or
// LOCALE_NAME_USER_DEFAULT for the user's own), UTF-8; empty when Windows cannot format them.
std::string ShortDateIn(const wchar_t* locale, TDateTime value);
std::string LongTimeIn(const wchar_t* locale, TDateTime value);

}  // namespace velmora
