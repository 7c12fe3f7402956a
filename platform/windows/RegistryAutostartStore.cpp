#include "platform/windows/RegistryAutostartStore.h"

#include <windows.h>

#include <initializer_list>

#include "platform/windows/StartupApproved.h"

namespace velmora {
namespace {

std::uint64_t NowTicks() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

std::string QuotedCommand(const std::string& program) {
    // Windows paths cannot hold a double quote: the quotes cannot be ended early.
    return "\"" + program + "\"";
}

RegistryAutostartStore::RegistryAutostartStore(Registry& registry, std::string runKey,
                                               std::string approvedKey)
    : registry_(registry), runKey_(std::move(runKey)), approvedKey_(std::move(approvedKey)) {}

bool RegistryAutostartStore::CreateStore() {
    picked_.reset();
    for (const RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        if (registry_.CreateKey(root, runKey_) == ERROR_SUCCESS) {
            picked_ = root;
            break;
        }
    }
    return picked_.has_value();
}

bool RegistryAutostartStore::OpenStore() {
    if (!picked_) {
        picked_ = registry_.OpenKey(RegistryRoot::LocalMachine, runKey_) == ERROR_SUCCESS
                      ? RegistryRoot::LocalMachine
                      : RegistryRoot::CurrentUser;
    }
    return true;
}

bool RegistryAutostartStore::SetValue(const std::string& name, const std::string& command) {
    if (!picked_) {
        return false;
    }
    // An administrator's value that this user switched off: switched on again, rather than a
    // value of the user's own beside it, which would start a second copy at logon.
    if (*picked_ == RegistryRoot::CurrentUser && HasRunValue(RegistryRoot::LocalMachine, name) &&
        registry_.DeleteValue(RegistryRoot::CurrentUser, approvedKey_, name) == ERROR_SUCCESS) {
        return true;
    }
    if (registry_.SetString(*picked_, runKey_, name, QuotedCommand(command)) != ERROR_SUCCESS) {
        return false;
    }
    // Switched off earlier by this user (or, for the machine's entry, by an administrator):
    // ticking the box again means it runs.
    registry_.DeleteValue(RegistryRoot::CurrentUser, approvedKey_, name);
    if (*picked_ == RegistryRoot::LocalMachine) {
        registry_.DeleteValue(RegistryRoot::LocalMachine, approvedKey_, name);
        registry_.DeleteValue(RegistryRoot::CurrentUser, runKey_, name);
    }
    return true;
}

void RegistryAutostartStore::DeleteValue(const std::string& name) {
    // A value that is not there, or that this user may not delete, is passed over.
    registry_.DeleteValue(RegistryRoot::LocalMachine, runKey_, name);
    registry_.DeleteValue(RegistryRoot::CurrentUser, runKey_, name);
    if (HasRunValue(RegistryRoot::LocalMachine, name)) {
        registry_.CreateKey(RegistryRoot::CurrentUser, approvedKey_);
        registry_.SetBinary(RegistryRoot::CurrentUser, approvedKey_, name,
                            StartupApprovedValue(false, NowTicks()));
    }
}

bool RegistryAutostartStore::IsRegistered(const std::string& name) const {
    const bool user = Enabled(RegistryRoot::CurrentUser, name);
    if (HasRunValue(RegistryRoot::CurrentUser, name) && user) {
        return true;
    }
    return HasRunValue(RegistryRoot::LocalMachine, name) && user &&
           Enabled(RegistryRoot::LocalMachine, name);
}

bool RegistryAutostartStore::Enabled(RegistryRoot root, const std::string& name) const {
    return StartupApprovedEnabled(registry_.ReadValue(root, approvedKey_, name));
}

bool RegistryAutostartStore::HasRunValue(RegistryRoot root, const std::string& name) const {
    return registry_.ReadValue(root, runKey_, name).has_value();
}

}  // namespace velmora
