#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "platform/OneCopy.h"

namespace velmora {

// One running copy per user session. The first copy holds a named mutex in the session's own
// namespace ("Local\..."): another user, in a session of their own, runs a copy of their own. The
// first copy also keeps a hidden message-only window of a class of its own; a second start finds
// it by that class and posts it a registered message, upon which the first copy brings its main
// window to the front. Windows lets the second start (the program the user just started) hand
// the right to take the foreground on to the first.

// The class of the first copy's listening window.
inline constexpr const wchar_t* kOneCopyClass = L"Velmora.OneCopy";
// The mutex that marks the session's running copy.
inline constexpr const wchar_t* kOneCopyMutex = L"Local\\Velmora.OneCopy";

class SessionCopy {
  public:
    explicit SessionCopy(const wchar_t* mutexName = kOneCopyMutex);
    SessionCopy(const SessionCopy&) = delete;
    SessionCopy& operator=(const SessionCopy&) = delete;
    // The mutex goes with the process too, so a crashed copy never blocks the next start.
    ~SessionCopy();
    // No other copy of this session holds the mutex (or it could not be made at all: the program
    // then starts on its own rather than not at all).
    bool First() const { return first_; }

  private:
    HANDLE mutex_ = nullptr;
    bool first_ = true;
};

// The first copy's listener: a message-only window on the calling thread, whose message loop runs
// `show` for each request of a second start.
class ShowRequests {
  public:
    explicit ShowRequests(std::function<void()> show, const wchar_t* windowClass = kOneCopyClass);
    ShowRequests(const ShowRequests&) = delete;
    ShowRequests& operator=(const ShowRequests&) = delete;
    ~ShowRequests();
    bool Listening() const { return window_ != nullptr; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);

    std::function<void()> show_;
    const wchar_t* windowClass_;
    HWND window_ = nullptr;
};

// The message a second start posts to the first copy's listener.
UINT ShowRequestMessage();
// Finds the first copy's listener of class `windowClass` and asks it to come to the front; false
// when there is none (the first copy is still starting, or ending).
bool ShowFirstCopy(const wchar_t* windowClass = kOneCopyClass);

// The session's one copy through the two above: a later start asks the first copy to come to the
// front (waiting a moment for one still starting) and counts as handed over even should it not
// answer, as the first copy runs; the first copy answers once told how (Answer).
class WindowsOneCopy : public OneCopy {
  public:
    explicit WindowsOneCopy(const wchar_t* mutexName = kOneCopyMutex,
                            const wchar_t* windowClass = kOneCopyClass);

    bool HandedOver() const override { return !session_ || !session_->First(); }
    // From now on each request of a later start runs `show` on this thread's message loop.
    void Answer(std::function<void()> show);
    void StopAnswering() override { requests_.reset(); }
    void Stop() override;

  private:
    const wchar_t* windowClass_;
    std::optional<SessionCopy> session_;
    std::unique_ptr<ShowRequests> requests_;
};

}  // namespace velmora
