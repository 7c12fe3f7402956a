#include "platform/windows/PipeClockService.h"

#include <windows.h>

#include <optional>

#include "platform/windows/ClockServiceNames.h"
#include "platform/windows/OwnedHandle.h"

namespace velmora {
namespace {

// A service busy with another client is waited for this long.
constexpr DWORD kBusyWaitMs = 5000;
// The whole exchange, a synchronization through a long list of silent servers included, ends
// within this: a service that never answers leaves the program's command, not the program, hung.
constexpr DWORD kExchangeWaitMs = 60000;
// No report is longer; a server that sends more is not the service.
constexpr std::size_t kLongestReply = 64 * 1024;

FileHandle OpenPipe() {
    for (int tries = 0; tries < 2; ++tries) {
        FileHandle pipe(CreateFileW(
            kClockServicePipe, kClockServicePipeAccess, 0, nullptr, OPEN_EXISTING,
            FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        if (pipe.Valid() || GetLastError() != ERROR_PIPE_BUSY ||
            !WaitNamedPipeW(kClockServicePipe, kBusyWaitMs)) {
            return FileHandle(pipe.Release());
        }
    }
    return FileHandle();
}

// One overlapped read or write, waited for until `deadline` (GetTickCount64). Its transfer
// count, and whether the message went on beyond it (a read in message mode); nothing when it
// failed or the deadline passed, the operation cancelled and ended before the buffer goes.
struct Transfer {
    DWORD bytes = 0;
    bool more = false;
};
template <typename Start>
std::optional<Transfer> Overlapped(HANDLE pipe, ULONGLONG deadline, Start start) {
    const FileHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event.Valid()) {
        return std::nullopt;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    Transfer done;
    if (!start(&overlapped) && GetLastError() != ERROR_IO_PENDING &&
        GetLastError() != ERROR_MORE_DATA) {
        return std::nullopt;
    }
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    if (WaitForSingleObject(event.get(), left) != WAIT_OBJECT_0) {
        CancelIoEx(pipe, &overlapped);
        GetOverlappedResult(pipe, &overlapped, &done.bytes, TRUE);
        return std::nullopt;
    }
    if (!GetOverlappedResult(pipe, &overlapped, &done.bytes, FALSE)) {
        if (GetLastError() != ERROR_MORE_DATA) {
            return std::nullopt;
        }
        done.more = true;
    }
    return done;
}

std::optional<std::string> ReadReply(HANDLE pipe, ULONGLONG deadline) {
    std::string reply;
    char buffer[4096];
    for (;;) {
        const std::optional<Transfer> read =
            Overlapped(pipe, deadline, [&](OVERLAPPED* overlapped) {
                return ReadFile(pipe, buffer, sizeof buffer, nullptr, overlapped);
            });
        if (!read) {
            return std::nullopt;
        }
        reply.append(buffer, read->bytes);
        if (reply.size() > kLongestReply) {
            return std::nullopt;
        }
        if (!read->more) {
            return reply;
        }
    }
}

}  // namespace

std::optional<unsigned long> ClockServiceProcessId() {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const ServiceHandle service(
        manager.Valid() ? OpenServiceW(manager.get(), kClockServiceName, SERVICE_QUERY_STATUS)
                        : nullptr);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!service.Valid() ||
        !QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                              reinterpret_cast<BYTE*>(&status), sizeof status, &needed) ||
        status.dwCurrentState != SERVICE_RUNNING || status.dwProcessId == 0) {
        return std::nullopt;
    }
    return status.dwProcessId;
}

std::optional<std::string> PipeClockService::Exchange(const std::string& request) {
    const std::optional<unsigned long> service = ClockServiceProcessId();
    if (!service) {
        return std::nullopt;
    }
    const FileHandle pipe = OpenPipe();
    ULONG server = 0;
    if (!pipe.Valid() || !GetNamedPipeServerProcessId(pipe.get(), &server) || server != *service) {
        return std::nullopt;
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    const ULONGLONG deadline = GetTickCount64() + kExchangeWaitMs;
    if (!SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr)) {
        return std::nullopt;
    }
    const std::optional<Transfer> written =
        Overlapped(pipe.get(), deadline, [&](OVERLAPPED* overlapped) {
            return WriteFile(pipe.get(), request.data(), static_cast<DWORD>(request.size()),
                             nullptr, overlapped);
        });
    if (!written || written->bytes != request.size()) {
        return std::nullopt;
    }
    return ReadReply(pipe.get(), deadline);
}

}  // namespace velmora
