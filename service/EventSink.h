#pragma once

#include <string>

namespace velmora {

// Where the service tells what it did and why it did not: the Windows event log (Application,
// source "Velmora"); tests keep the records.
class EventSink {
  public:
    enum class Level { Information, Warning, Error };
    virtual ~EventSink() = default;
    virtual void Record(Level level, const std::string& text) = 0;
};

}  // namespace velmora
