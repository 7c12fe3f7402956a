#include "platform/windows/PipeClockService.h"

#include <windows.h>

#include "platform/windows/ClockServiceNames.h"
#include "platform/windows/OwnedHandle.h"

namespace velmora {
namespace {

// A service busy with another client is waited for this long.
constexpr DWORD kBusyWaitMs = 5000;
// No report is longer; a server that sends more is not the service.
constexpr std::size_t kLongestReply = 64 * 1024;

FileHandle OpenPipe() {
    for (int tries = 0; tries < 2; ++tries) {
        FileHandle pipe(CreateFileW(kClockServicePipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
                                    nullptr));
        if (pipe.Valid() || GetLastError() != ERROR_PIPE_BUSY ||
            !WaitNamedPipeW(kClockServicePipe, kBusyWaitMs)) {
            return FileHandle(pipe.Release());
        }
    }
    return FileHandle();
}

std::optional<std::string> ReadReply(HANDLE pipe) {
    std::string reply;
    char buffer[4096];
    for (;;) {
        DWORD read = 0;
        const BOOL whole = ReadFile(pipe, buffer, sizeof buffer, &read, nullptr);
        if (!whole && GetLastError() != ERROR_MORE_DATA) {
            return std::nullopt;
        }
        reply.append(buffer, read);
        if (reply.size() > kLongestReply) {
            return std::nullopt;
        }
        if (whole) {
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
    DWORD written = 0;
    if (!SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr) ||
        !WriteFile(pipe.get(), request.data(), static_cast<DWORD>(request.size()), &written,
                   nullptr) ||
        written != request.size()) {
        return std::nullopt;
    }
    return ReadReply(pipe.get());
}

}  // namespace velmora
