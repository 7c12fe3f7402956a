#pragma once

#include <string>

namespace velmora {

// What the Service Control Manager says of the time service.
struct ServiceState {
    bool installed = false;
    bool running = false;  // running, or on its way to it
};

// The time service's calls, behind an interface so that a test can stand in for a service that
// this process may not stop.
class TimeServiceCalls {
  public:
    virtual ~TimeServiceCalls() = default;
    virtual ServiceState Query() = 0;
    // Keeps the service from starting again (disabled) and stops it, waiting a while for it to
    // stop: 0, or the system's error code (ERROR_ACCESS_DENIED for a standard user).
    virtual unsigned long StopAndDisable() = 0;
};

// The Windows Time service (W32Time), or the service of another name, through the SCM.
class ScmTimeService : public TimeServiceCalls {
  public:
    static constexpr const wchar_t* kWindowsTime = L"W32Time";
    explicit ScmTimeService(std::wstring name = kWindowsTime);
    ServiceState Query() override;
    unsigned long StopAndDisable() override;

  private:
    std::wstring name_;
};

}  // namespace velmora
