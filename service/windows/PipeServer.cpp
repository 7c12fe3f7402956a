#include "service/windows/PipeServer.h"

#include <sddl.h>

#include <algorithm>

#include "core/Error.h"
#include "platform/windows/ClockServiceNames.h"
#include "platform/windows/SystemMessage.h"
#include "sync/ServiceProtocol.h"

namespace velmora {
namespace {

// How long a connected client has for each read and write.
constexpr DWORD kClientWaitMs = 3000;

[[noreturn]] void Fail(const char* what) {
    throw Error(std::string("The service's pipe: ") + what + ": " + SystemMessage(GetLastError()));
}

HANDLE CreatePipe(const wchar_t* name) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            kClockServicePipeSecurity, SDDL_REVISION_1, &descriptor, nullptr)) {
        Fail("no security descriptor");
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const HANDLE pipe = CreateNamedPipeW(
        name, PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
        kLongestServiceReport, kLongestServiceRequest + 1, 0, &attributes);
    const DWORD error = GetLastError();
    LocalFree(descriptor);
    if (pipe == INVALID_HANDLE_VALUE) {
        SetLastError(error);
        Fail("cannot be created");
    }
    return pipe;
}

}  // namespace

PipeServer::PipeServer(const wchar_t* name, HANDLE stop)
    : stop_(stop), pipe_(CreatePipe(name)), event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!event_.Valid()) {
        Fail("no event");
    }
    overlapped_.hEvent = event_.get();
}

PipeServer::~PipeServer() {
    if (connecting_) {
        CancelIo(pipe_.get());
        DWORD moved = 0;
        GetOverlappedResult(pipe_.get(), &overlapped_, &moved, TRUE);
    }
}

PipeServer::Wake PipeServer::WaitFor(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    const DWORD wait = deadline == 0 ? INFINITE
                       : deadline <= now
                           ? 0
                           : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1));
    const HANDLE handles[] = {stop_, event_.get()};
    switch (WaitForMultipleObjects(2, handles, FALSE, wait)) {
        case WAIT_OBJECT_0:
            return Wake::Stop;
        case WAIT_OBJECT_0 + 1:
            return Wake::Event;
        case WAIT_TIMEOUT:
            return Wake::Deadline;
        default:
            Fail("waiting");
    }
}

PipeServer::Io PipeServer::Finish(BOOL started, DWORD& moved) {
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        return GetLastError() == ERROR_MORE_DATA ? Io::MoreData : Io::Failed;
    }
    const Wake wake = WaitFor(GetTickCount64() + kClientWaitMs);
    if (wake != Wake::Event) {
        CancelIo(pipe_.get());
    }
    const BOOL done = GetOverlappedResult(pipe_.get(), &overlapped_, &moved, TRUE);
    if (wake == Wake::Stop) {
        return Io::Stopped;
    }
    if (done) {
        return Io::Done;
    }
    return GetLastError() == ERROR_MORE_DATA ? Io::MoreData : Io::Failed;
}

bool PipeServer::Connect(ULONGLONG deadline, bool& stopped) {
    if (!connecting_) {
        ResetEvent(event_.get());
        if (!ConnectNamedPipe(pipe_.get(), &overlapped_)) {
            const DWORD error = GetLastError();
            if (error == ERROR_PIPE_CONNECTED) {
                return true;
            }
            if (error != ERROR_IO_PENDING) {
                Fail("cannot take a client");
            }
        }
        connecting_ = true;
    }
    const Wake wake = WaitFor(deadline);
    stopped = wake == Wake::Stop;
    if (wake != Wake::Event) {
        return false;
    }
    connecting_ = false;
    DWORD moved = 0;
    return GetOverlappedResult(pipe_.get(), &overlapped_, &moved, FALSE) != 0;
}

bool PipeServer::Talk(const MessageHandler& handler) {
    char buffer[kLongestServiceRequest + 1];
    DWORD moved = 0;
    ResetEvent(event_.get());
    const Io read =
        Finish(ReadFile(pipe_.get(), buffer, sizeof buffer, nullptr, &overlapped_), moved);
    if (read == Io::Stopped || read == Io::Failed) {
        return read != Io::Stopped;
    }
    const bool oversized = read == Io::MoreData || moved > kLongestServiceRequest;
    const std::string reply = handler(
        std::string_view(buffer, std::min<DWORD>(moved, kLongestServiceRequest)), oversized);
    ResetEvent(event_.get());
    if (Finish(WriteFile(pipe_.get(), reply.data(), static_cast<DWORD>(reply.size()), nullptr,
                         &overlapped_),
               moved) == Io::Stopped) {
        return false;
    }
    // A disconnect throws away a reply not yet read: the client closing its end (the read
    // failing) says it has it.
    ResetEvent(event_.get());
    return Finish(ReadFile(pipe_.get(), buffer, sizeof buffer, nullptr, &overlapped_), moved) !=
           Io::Stopped;
}

bool PipeServer::ServeUntil(const ULONGLONG& deadline, const MessageHandler& handler) {
    for (;;) {
        bool stopped = false;
        const bool connected = Connect(deadline, stopped);
        if (stopped) {
            return true;
        }
        if (!connected && connecting_) {
            return false;
        }
        if (connected && !Talk(handler)) {
            return true;
        }
        DisconnectNamedPipe(pipe_.get());
    }
}

}  // namespace velmora
