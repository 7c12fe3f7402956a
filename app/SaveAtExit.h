#pragma once

#include <functional>

namespace velmora {

// Runs `save` from the process's exit path unless it is disarmed first, which the destructor
// does. Qt's X11 backend ends the process with exit() when the display connection breaks (the
// normal logout of a plain window-manager session, or the end of XWayland), before the event loop
// returns to the code that would save. One instance at a time.
class SaveAtExit {
  public:
    explicit SaveAtExit(std::function<void()> save);
    ~SaveAtExit();
    SaveAtExit(const SaveAtExit&) = delete;
    SaveAtExit& operator=(const SaveAtExit&) = delete;

  private:
    std::function<void()> save_;
};

}  // namespace velmora
