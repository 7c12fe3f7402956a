#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

// The one exception type of the program. Its message is what the user sees in the general error
// handler's message box, so it is always a finished sentence.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace velmora
