#pragma once

namespace velmora {

// One running copy of the program per user session. The first start becomes the copy that later
// starts find; a later start asks that copy to bring its window to the front, and ends. How the
// copy hears such a request is its binding's: a socket for the front end's loop to watch, or a
// window of its own.
class OneCopy {
  public:
    virtual ~OneCopy() = default;

    // Whether a running copy was found and asked to show itself: this start then ends.
    virtual bool HandedOver() const = 0;
    // Stops answering, so that a start from now on is never handed to a copy that is ending;
    // such a start waits for Stop.
    virtual void StopAnswering() = 0;
    // Lets the copy go: a start from now on becomes the copy.
    virtual void Stop() = 0;
};

}  // namespace velmora
