#pragma once

#include <string>

namespace velmora {

// A store of named start-up commands that a session runs at logon: one XDG autostart folder (one
// desktop entry per name), or the machine-wide and the user's folders taken together.
class AutostartStore {
  public:
    virtual ~AutostartStore() = default;
    // Makes sure the store exists; false when it cannot be created.
    virtual bool CreateStore() = 0;
    // Whether the store can be opened for changes.
    virtual bool OpenStore() = 0;
    // Writes or overwrites the entry `name` with `command`; false on failure.
    virtual bool SetValue(const std::string& name, const std::string& command) = 0;
    // Removes the entry `name`; a missing entry is no error.
    virtual void DeleteValue(const std::string& name) = 0;
    // Whether the entry `name` starts the program at this user's logon now.
    virtual bool IsRegistered(const std::string& name) const = 0;
    // The path or name of the store, for messages.
    virtual std::string StorePath() const = 0;
};

}  // namespace velmora
