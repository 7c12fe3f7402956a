#include "platform/SessionAutostartStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/XdgAutostartFolder.h"
#include "sync/Autorun.h"
#include "tests/fixtures/AsUser.h"
#include "tests/fixtures/AutostartEntries.h"

namespace velmora {
namespace {

// A machine-wide directory only root may write, holding `entries`, and a home the user owns.
struct Desktop {
    explicit Desktop(const TempDir& temp)
        : machine(temp.path() / "etc" / "autostart"), user(temp.path() / "home" / "autostart") {
        fs::create_directories(machine);
        fs::create_directories(user.parent_path());
        chmod(temp.path().c_str(), 0755);
        if (geteuid() == 0) {
            (void)!chown(user.parent_path().c_str(), 65534, 65534);
        } else {
            chmod(machine.c_str(), 0555);
        }
    }
    SessionAutostartStore Stores() const { return {machine.string(), user.string()}; }
    fs::path machine, user;
};

TEST(SessionAutostartStore, AUserWhoCannotWriteTheMachineStoreRegistersInTheirOwn) {
    TempDir temp;
    const Desktop desktop(temp);
    EXPECT_EQ(AsUser([&] {
                  SessionAutostartStore stores = desktop.Stores();
                  SetAutorun(stores, "Velmora", "/usr/bin/velmora", false);
                  return ExecLine(ReadFile(desktop.user / "Velmora.desktop"));
              }),
              "/usr/bin/velmora");
    EXPECT_TRUE(Entries(desktop.machine).empty());
    EXPECT_EQ(AsUser([&] {
                  SessionAutostartStore stores = desktop.Stores();
                  SetAutorun(stores, "Velmora", "/usr/bin/velmora", true);
                  return std::to_string(Entries(desktop.user).size());
              }),
              "0");
}

TEST(SessionAutostartStore, UnregisteringHidesAnEntryTheUserCannotRemove) {
    TempDir temp;
    const Desktop desktop(temp);
    chmod(desktop.machine.c_str(), 0755);
    XdgAutostartFolder(desktop.machine.string()).SetValue("Velmora", "/usr/bin/velmora");
    chmod(desktop.machine.c_str(), geteuid() == 0 ? 0755 : 0555);
    EXPECT_EQ(AsUser([&] {
                  SessionAutostartStore stores = desktop.Stores();
                  SetAutorun(stores, "Velmora", "/usr/bin/velmora", true);
                  return ReadFile(desktop.user / "Velmora.desktop");
              }),
              HiddenEntryText("Velmora"));
    EXPECT_EQ(Entries(desktop.machine), std::vector<std::string>{"Velmora.desktop"});
}

TEST(SessionAutostartStore, NoStoreToWriteRaisesNamingTheUsersDirectory) {
    TempDir temp;
    const Desktop desktop(temp);
    std::ofstream(desktop.user.parent_path() / "file") << "x";
    const std::string blocked = (desktop.user.parent_path() / "file" / "autostart").string();
    EXPECT_EQ(AsUser([&] {
                  SessionAutostartStore stores(desktop.machine.string(), blocked);
                  SetAutorun(stores, "Velmora", "/usr/bin/velmora", false);
                  return std::string("registered");
              }),
              "Failed to create key " + blocked);
}

}  // namespace
}  // namespace velmora
