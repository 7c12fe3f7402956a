#pragma once

#include <string>

#include "platform/AutostartStore.h"

namespace velmora {

// One XDG autostart directory: the entry `name` is the desktop entry file
// `<directory>/<name>.desktop`, whose Exec line starts the command. The command is one program
// path without arguments; it is quoted and escaped so that no path can start anything else.
class XdgAutostartFolder : public AutostartStore {
  public:
    static constexpr const char* kSystemDirectory = "/etc/xdg/autostart";

    // A missing directory is made with `folderMode`.
    explicit XdgAutostartFolder(std::string directory = kSystemDirectory,
                                unsigned folderMode = 0755);

    // Makes the directory if need be; true only when this process can write entries into it.
    bool CreateStore() override;
    bool OpenStore() override;
    // Replaces the entry atomically.
    bool SetValue(const std::string& name, const std::string& command) override;
    void DeleteValue(const std::string& name) override;
    std::string StorePath() const override { return directory_; }

    bool HasValue(const std::string& name) const;
    // The entry is there, readable, and not hidden.
    bool IsRegistered(const std::string& name) const override;
    // Writes the entry that tells a session not to start the entry `name` of a directory read
    // before this one.
    bool HideValue(const std::string& name);

    // Full name of the desktop entry for `name`.
    std::string EntryPath(const std::string& name) const;

  private:
    std::string directory_;
    unsigned folderMode_;
};

// The program path as the value of an Exec key: quoted when it holds a reserved character, with
// the quoting, field-code and string escapes of desktop entries applied.
std::string DesktopExecValue(const std::string& program);
// The whole desktop entry that starts `program` at logon, named `name`.
std::string DesktopEntryText(const std::string& name, const std::string& program);
// The desktop entry that hides the entry `name` of the directories read before it.
std::string HiddenEntryText(const std::string& name);

}  // namespace velmora
