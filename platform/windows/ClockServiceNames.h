#pragma once

namespace velmora {

// The clock service as the service manager knows it, and the pipe it takes requests on.
inline constexpr const wchar_t* kClockServiceName = L"Velmora";
inline constexpr const wchar_t* kClockServicePipe = L"\\\\.\\pipe\\Velmora";
// Where the machine's settings live: only administrators and the system may write there,
// wherever the program was installed.
inline constexpr const wchar_t* kMachineSettingsKey = L"Software\\Velmora";
inline constexpr const char* kMachineSettingsName = "HKEY_LOCAL_MACHINE\\Software\\Velmora";

}  // namespace velmora
