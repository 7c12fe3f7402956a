#pragma once

#include <QString>
#include <functional>

namespace velmora {

// Runs `save` on the ways out that bypass the program's own end, unless it is disarmed first,
// which the destructor does:
// - exit(): Qt's X11 backend ends the process so when the display connection breaks (the normal
//   logout of a plain window-manager session, or the end of XWayland), before the event loop
//   returns to the code that would save;
// - a fatal message of Qt's platform plugin, after which the plugin ends the process at once:
//   its Wayland backend calls _exit(1) when the compositor goes (the usual end of a Wayland
//   session), on whichever thread noticed, the window's or one of its event threads.
// `save` may so run on any thread while the window's thread runs, and must make sure by itself
// that it saves only once; it must touch no Qt object. One instance at a time.
class SaveAtExit {
  public:
    explicit SaveAtExit(std::function<void()> save);
    ~SaveAtExit();
    SaveAtExit(const SaveAtExit&) = delete;
    SaveAtExit& operator=(const SaveAtExit&) = delete;

    // Whether `message` is one of those after which Qt ends the process.
    static bool EndsTheProcess(const QString& message);

  private:
    std::function<void()> save_;
};

}  // namespace velmora
