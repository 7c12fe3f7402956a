#include "platform/linux/SessionAutostartStore.h"

#include "platform/linux/AtomicFile.h"
#include "platform/linux/SettingsLocation.h"

namespace velmora {

SessionAutostartStore::SessionAutostartStore(std::string machineDirectory,
                                             std::string userDirectory)
    : machine_(std::move(machineDirectory)), user_(std::move(userDirectory), kPrivateFolderMode) {}

bool SessionAutostartStore::CreateStore() {
    picked_ = machine_.CreateStore()                              ? &machine_
              : !user_.StorePath().empty() && user_.CreateStore() ? &user_
                                                                  : nullptr;
    return picked_ != nullptr;
}

bool SessionAutostartStore::OpenStore() {
    if (picked_ == nullptr) {
        // The user's own store is theirs even before it exists: removal may have to hide an entry
        // there.
        picked_ = machine_.OpenStore() ? &machine_ : !user_.StorePath().empty() ? &user_ : nullptr;
    }
    return picked_ != nullptr;
}

bool SessionAutostartStore::SetValue(const std::string& name, const std::string& command) {
    return picked_ != nullptr && picked_->SetValue(name, command);
}

void SessionAutostartStore::DeleteValue(const std::string& name) {
    for (XdgAutostartFolder* store : {&machine_, &user_}) {
        if (!store->StorePath().empty() && store->OpenStore()) {
            store->DeleteValue(name);
        }
    }
    if (machine_.HasValue(name) && !user_.StorePath().empty()) {
        user_.HideValue(name);
    }
}

bool SessionAutostartStore::IsRegistered(const std::string& name) const {
    // A session reads the user's entry in place of the machine-wide one of the same name.
    if (!user_.StorePath().empty() && user_.HasValue(name)) {
        return user_.IsRegistered(name);
    }
    return machine_.IsRegistered(name);
}

std::string SessionAutostartStore::StorePath() const {
    return picked_ != nullptr ? picked_->StorePath() : user_.StorePath();
}

std::string UserAutostartDirectory() {
    const std::string config = UserConfigDirectory();
    return config.empty() ? "" : config + "/autostart";
}

}  // namespace velmora
