#pragma once

#include <windows.h>

namespace velmora {

// The clock service as the service manager knows it, and the pipe it takes requests on.
inline constexpr const wchar_t* kClockServiceName = L"Velmora";
inline constexpr const wchar_t* kClockServicePipe = L"\\\\.\\pipe\\Velmora";
// What a client of the pipe needs and asks for: to read, to write a request, and to set the
// handle's read mode (a write of its attributes). Not FILE_CREATE_PIPE_INSTANCE (FILE_APPEND_DATA,
// part of GENERIC_WRITE): nobody but the service may make an instance of its pipe.
inline constexpr DWORD kClockServicePipeAccess =
    FILE_GENERIC_READ | FILE_WRITE_DATA | FILE_WRITE_ATTRIBUTES;
static_assert(kClockServicePipeAccess == 0x12018B, "the mask the pipe's descriptor grants");
// The pipe's security: the system, administrators and LOCAL SERVICE (the service itself) may do
// everything; interactive users what a client needs; nobody else, and nothing inherited.
inline constexpr const wchar_t* kClockServicePipeSecurity =
    L"D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;GA;;;LS)(A;;0x12018b;;;IU)";
// Where the machine's settings live: only administrators and the system may write there,
// wherever the program was installed.
inline constexpr const wchar_t* kMachineSettingsKey = L"Software\\Velmora";
inline constexpr const char* kMachineSettingsName = "HKEY_LOCAL_MACHINE\\Software\\Velmora";

}  // namespace velmora
