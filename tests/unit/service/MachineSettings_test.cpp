#include "service/MachineSettings.h"

#include <gtest/gtest.h>

#include <string>

#include "core/Error.h"

namespace velmora {
namespace {

// What an administrator passes to the installer, and what it writes into the machine's settings.
TEST(InstallerSettings, WritesWhatWasGivenAndRefusesAnIntervalThatIsNoWholeMinutes) {
    using Values = ProfileFile::KeyValues;
    EXPECT_EQ(InstallerSettings("", ""), Values{});
    EXPECT_EQ(InstallerSettings("a.example|b.example", ""),
              (Values{{"GlobalTimeSrvList", "a.example|b.example"}}));
    EXPECT_EQ(InstallerSettings("", "90"), (Values{{"UpdateClock", "1"},
                                                   {"UpdateClockInterval", "5400000"},
                                                   {"UpdateClockHour", "0"}}));
    EXPECT_EQ(InstallerSettings("", "0").front(),
              (std::pair<std::string, std::string>{"UpdateClock", "0"}));
    for (const char* bad : {"ninety", "-5", "1.5", "99999999"}) {
        EXPECT_THROW(InstallerSettings("", bad), Error) << bad;
    }
}

// The first settings are the machine's alone: nothing a user keeps for himself.
TEST(InstallerSettings, FirstSettingsSynchronizeHourlyAndAtStartAndLeaveTheUsersOwnAlone) {
    const ProfileFile::KeyValues first = FirstMachineSettings();
    auto value = [&](const std::string& key) {
        for (const auto& [name, text] : first) {
            if (name == key) {
                return text;
            }
        }
        return std::string("(none)");
    };
    EXPECT_EQ(value("UpdateClock"), "1");
    EXPECT_EQ(value("UpdateClockInterval"), "3600000");
    EXPECT_EQ(value("GlobalAutorun"), "1");
    EXPECT_EQ(value("GlobalMinimize"), "(none)");
    EXPECT_EQ(value("DisplayLocalTime"), "(none)");
}

}  // namespace
}  // namespace velmora
