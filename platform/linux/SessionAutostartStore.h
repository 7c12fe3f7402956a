#pragma once

#include <string>

#include "platform/linux/XdgAutostartFolder.h"

namespace velmora {

// The autostart directories a user's session reads, as one store: the machine-wide one when this
// process can write it (an administrator registers the program for every user), else the user's
// own. Removal clears every one it can write; an entry left in the machine-wide directory is
// hidden for this user, so that unticking autorun stops the program starting at their logon.
class SessionAutostartStore : public AutostartStore {
  public:
    SessionAutostartStore(std::string machineDirectory, std::string userDirectory);

    // Picks the first directory that can be made and written; false when none can.
    bool CreateStore() override;
    // Picks the machine-wide directory when it can be written, else the user's (made when an entry
    // is written into it); false when neither is there to pick.
    bool OpenStore() override;
    bool SetValue(const std::string& name, const std::string& command) override;
    void DeleteValue(const std::string& name) override;
    // The user's entry when there is one (hidden or not), else the machine-wide one, decides.
    bool IsRegistered(const std::string& name) const override;
    // The picked directory; before a pick, or when none could be, the user's.
    std::string StorePath() const override;

  private:
    XdgAutostartFolder machine_;
    XdgAutostartFolder user_;
    XdgAutostartFolder* picked_ = nullptr;
};

// The user's autostart directory under their configuration folder; empty when it is unknown.
std::string UserAutostartDirectory();

}  // namespace velmora
