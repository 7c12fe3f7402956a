#include "platform/linux/SessionAutostartStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/linux/XdgAutostartFolder.h"
#include "sync/Autorun.h"
#include "tests/fixtures/linux/AsUser.h"
#include "tests/fixtures/linux/AutostartEntries.h"

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
    // An entry an administrator put into the machine-wide directory.
    void AdminEntry() const {
        chmod(machine.c_str(), 0755);
        XdgAutostartFolder(machine.string()).SetValue("Velmora", "/usr/bin/velmora");
        chmod(machine.c_str(), geteuid() == 0 ? 0755 : 0555);
    }
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
    desktop.AdminEntry();
    fs::create_directories(desktop.user);
    if (geteuid() == 0) {
        (void)!chown(desktop.user.c_str(), 65534, 65534);
    }
    // Each step: whether the program starts at the user's logon, and the user's entry.
    EXPECT_EQ(AsUser([&] {
                  SessionAutostartStore stores = desktop.Stores();
                  std::string steps;
                  const auto step = [&](const std::function<void()>& action) {
                      action();
                      const fs::path own = desktop.user / "Velmora.desktop";
                      steps += std::to_string(stores.IsRegistered("Velmora")) +
                               (!fs::exists(own)                              ? " none\n"
                                : ReadFile(own) == HiddenEntryText("Velmora") ? " hidden\n"
                                                                              : " own\n");
                  };
                  step([] {});
                  step([&] { UpdateAutorun(stores, "Velmora", "/usr/bin/velmora", true); });
                  step([&] { SetAutorun(stores, "Velmora", "/usr/bin/velmora", true); });
                  step([&] { UpdateAutorun(stores, "Velmora", "/usr/bin/velmora", false); });
                  step([&] { UpdateAutorun(stores, "Velmora", "/usr/bin/velmora", true); });
                  return steps;
              }),
              "1 none\n1 none\n0 hidden\n0 hidden\n1 own\n");
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
