#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/windows/OwnedHandle.h"

namespace velmora {

// The reply to one message; `oversized`: the message was longer than a request may be, and
// `message` holds its start only.
using MessageHandler = std::function<std::string(std::string_view message, bool oversized)>;

// The service's named pipe: one instance, created first (FILE_FLAG_FIRST_PIPE_INSTANCE: a program
// that took the name before the service makes it fail rather than listen beside it), remote
// clients rejected, and a security descriptor that lets interactive users read and write
// requests (kClockServicePipeSecurity), and the system, administrators and LOCAL SERVICE do
// everything. One client at a time, one message
// each, a stalled client dropped after a few seconds.
class PipeServer {
  public:
    // Throws velmora::Error when the pipe cannot be made.
    PipeServer(const wchar_t* name, HANDLE stop);
    ~PipeServer();
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    // Answers clients until `deadline` (GetTickCount64; 0: none) or the stop event: true when
    // stopped. The handler may move `deadline`; the wait for the next client holds to the moved
    // one. Throws velmora::Error when the pipe fails.
    bool ServeUntil(const ULONGLONG& deadline, const MessageHandler& handler);

  private:
    enum class Io { Done, MoreData, Failed, Stopped };
    enum class Wake { Stop, Deadline, Event };
    Wake WaitFor(ULONGLONG deadline);
    // Waits for the overlapped operation just started (`started` is its result) up to a few
    // seconds; the bytes moved go to `moved`.
    Io Finish(BOOL started, DWORD& moved);
    bool Connect(ULONGLONG deadline, bool& stopped);
    // One request and its reply; false when stopped.
    bool Talk(const MessageHandler& handler);

    HANDLE stop_;
    FileHandle pipe_;
    FileHandle event_;
    OVERLAPPED overlapped_{};
    bool connecting_ = false;
};

}  // namespace velmora
