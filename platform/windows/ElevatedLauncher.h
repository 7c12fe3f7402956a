#pragma once

#include <atomic>
#include <string>

namespace velmora {

// How an elevated copy of the program ended.
struct LaunchOutcome {
    // 0 when the copy ran; else why it did not (ERROR_CANCELLED: the user said no to the prompt).
    unsigned long launchError = 0;
    unsigned long exitCode = 0;
};

// Starts a copy of the program with an administrator's rights and waits for it to end. Windows
// asks the user first (the UAC prompt, which may stay open for a long while): runs on the worker.
class ElevatedLauncher {
  public:
    virtual ~ElevatedLauncher() = default;
    virtual LaunchOutcome RunElevated(const std::string& parameters) = 0;
};

// ShellExecuteExW with the verb "runas" on `program`, waiting for its exit code. `owner`, a
// window handle when given, is the prompt's owner.
class ShellRunAs : public ElevatedLauncher {
  public:
    explicit ShellRunAs(std::string program, void* owner = nullptr);
    LaunchOutcome RunElevated(const std::string& parameters) override;
    // The prompt's owner from now on: the main window, once there is one (a prompt without an
    // owner may come up behind the window that asked for it). Any thread.
    void SetOwner(void* owner) { owner_ = owner; }

  private:
    std::string program_;
    std::atomic<void*> owner_;
};

}  // namespace velmora
