#pragma once

#include <string>

namespace velmora {

// The system's own words for a Windows error code, in the user's language, e.g. "A required
// privilege is not held by the client."; a plain sentence with the number when it has none.
std::string SystemMessage(unsigned long code);

}  // namespace velmora
