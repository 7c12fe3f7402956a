#pragma once

#include <string>

#include "service/EventSink.h"

namespace velmora {

// The Windows event log, Application, source "Velmora": each record is event 1, whose message
// (in velmora-service.exe's message table, registered by the installer) is the text itself.
class WindowsEventSink : public EventSink {
  public:
    WindowsEventSink();
    ~WindowsEventSink() override;
    WindowsEventSink(const WindowsEventSink&) = delete;
    WindowsEventSink& operator=(const WindowsEventSink&) = delete;
    void Record(Level level, const std::string& text) override;

  private:
    void* source_;
};

}  // namespace velmora
