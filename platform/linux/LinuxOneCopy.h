#pragma once

#include <string>

#include "platform/OneCopy.h"

namespace velmora {

// The running copy found through a private folder: the first copy holds a lock and listens on a
// socket there, both in a folder only this user can enter; a later start finds the lock taken,
// connects to the socket (the connection is the request), and ends once the copy confirmed it.
// Nobody else can reach the folder, and each side still checks that the other runs as the same
// user. A copy that dies leaves its lock free, so its stale socket is replaced by the next
// start. A copy that stops answering keeps the lock until Stop: a start meanwhile waits, then
// becomes the copy.
class LinuxOneCopy : public OneCopy {
  public:
    // Looks for a running copy under `name` in `folder` (empty: none, every start runs on its
    // own) and asks it to show itself; when there is none, becomes the copy. A copy that holds
    // the lock without answering is waited for, up to kWaitForCopyMs; after that this start runs
    // on its own.
    LinuxOneCopy(const std::string& folder, const std::string& name);
    ~LinuxOneCopy() override;
    LinuxOneCopy(const LinuxOneCopy&) = delete;
    LinuxOneCopy& operator=(const LinuxOneCopy&) = delete;

    bool HandedOver() const override { return handedOver_; }
    void StopAnswering() override;
    void Stop() override;

    // Turns readable when a later start calls; -1 unless this start is the copy.
    int Descriptor() const { return listener_; }
    // Once the descriptor is readable: answers every caller waiting, and says how many of them
    // asked for the window (callers of this user). Never blocks.
    int AnswerCallers();

    // How long a start waits for a copy that holds the lock but does not answer: one starting up,
    // or one ending that still saves its settings (on a slow disk, seconds).
    static constexpr int kWaitForCopyMs = 10000;

  private:
    void FindOrBecomeTheCopy();
    bool AskRunningCopy() const;
    bool Listen();

    std::string path_;
    int listener_ = -1;
    int lock_ = -1;
    bool handedOver_ = false;
};

}  // namespace velmora
