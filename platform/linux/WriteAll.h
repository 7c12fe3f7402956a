#pragma once

#include <string>

namespace velmora {

// Writes all of `text` to the open file `fd`, going on after short writes and interruptions;
// false when the system refuses.
bool WriteAll(int fd, const std::string& text);

}  // namespace velmora
