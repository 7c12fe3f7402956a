#include "sync/Autorun.h"

#include "core/Error.h"

namespace velmora {

namespace {

void Unregister(AutostartStore& store, const std::string& valueName) {
    if (store.OpenStore()) {
        store.DeleteValue(valueName);
    }
}

void Register(AutostartStore& store, const std::string& valueName, const std::string& command) {
    // A store that exists but cannot be written is as good as none: the user hears of it.
    if (!store.CreateStore() || !store.OpenStore()) {
        throw Error("Failed to create key " + store.StorePath());
    }
    if (!store.SetValue(valueName, command)) {
        throw Error("Failed to set data for '" + valueName + "'");
    }
}

}  // namespace

void SetAutorun(AutostartStore& store, const std::string& valueName, const std::string& command,
                bool remove) {
    if (remove) {
        Unregister(store, valueName);
    } else {
        Register(store, valueName, command);
    }
}

void UpdateAutorun(AutostartStore& store, const std::string& valueName, const std::string& command,
                   bool wanted) {
    if (store.IsRegistered(valueName) != wanted) {
        SetAutorun(store, valueName, command, !wanted);
    }
}

}  // namespace velmora
