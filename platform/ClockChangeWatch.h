#pragma once

namespace velmora {

// How far the system clock has been set, by this program or any other: the system clock
// measured against a clock that no setting moves and that goes on through suspend. How the front
// end learns that the clock was set, and so that it should ask, is the front end's business (a
// descriptor that turns readable on Linux, a window message on Windows).
class ClockChangeWatch {
  public:
    virtual ~ClockChangeWatch() = default;
    // Seconds the system clock has been set forward (negative: back) since the watch was made or
    // since the last call; zero when nothing set it. Quick: runs on the window's thread.
    virtual double TakeChangeSeconds() = 0;
};

}  // namespace velmora
