#include "platform/linux/SettingsLocation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "sync/Settings.h"
#include "tests/fixtures/linux/EnvScope.h"

namespace velmora {
namespace {

TEST(SettingsLocation, BesideTheProgramWhenItCanBeWrittenThereElseTheUsersOwn) {
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string beside = dir + "/velmora-" + std::to_string(getpid()) + ".cfg";
    const SettingsLocation portable = LocateSettingsFile(beside, "/home/u/.config/velmora/x.cfg");
    EXPECT_EQ(portable.file, beside);
    EXPECT_EQ(portable.defaults, "");

    // A folder that is not there cannot be written: the user's file, read-falling back.
    const std::string installed = "/nonexistent-velmora/bin/KXdefault.cfg";
    const SettingsLocation own = LocateSettingsFile(installed, "/home/u/.config/velmora/x.cfg");
    EXPECT_EQ(own.file, "/home/u/.config/velmora/x.cfg");
    EXPECT_EQ(own.defaults, installed);
    // No home known: beside the program it stays, and a failed save says so.
    EXPECT_EQ(LocateSettingsFile(installed, "").file, installed);
}

TEST(SettingsLocation, TheUsersConfigurationFolder) {
    const EnvScope home("HOME", "/home/someone");
    {
        const EnvScope config("XDG_CONFIG_HOME", "/elsewhere/config");
        EXPECT_EQ(UserConfigDirectory(), "/elsewhere/config");
        EXPECT_EQ(PerUserSettingsFile(UserConfigDirectory()),
                  "/elsewhere/config/velmora/KXdefault.cfg");
    }
    // A relative or empty XDG_CONFIG_HOME is ignored, as the base directory rules say.
    for (const char* ignored : {"relative/config", "", static_cast<const char*>(nullptr)}) {
        const EnvScope config("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(UserConfigDirectory(), "/home/someone/.config");
    }
    EXPECT_EQ(PerUserSettingsFile(""), "");
}

}  // namespace
}  // namespace velmora
