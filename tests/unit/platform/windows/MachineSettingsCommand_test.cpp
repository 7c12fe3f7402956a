#include "platform/windows/MachineSettingsCommand.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/windows/ElevatedClock.h"
#include "platform/windows/MachineProfile.h"
#include "platform/windows/TokenStanding.h"
#include "sync/MachineOptions.h"

namespace velmora {
namespace {

TEST(TokenStanding, OnlyAnAdministratorMayChangeTheMachinesSettingsElevatedOrAfterAPrompt) {
    struct Case {
        TOKEN_ELEVATION_TYPE type;
        bool inAdministrators;
        TokenStanding standing;
    };
    for (const Case& c : {Case{TokenElevationTypeLimited, false, TokenStanding::MayElevate},
                          Case{TokenElevationTypeFull, true, TokenStanding::Elevated},
                          Case{TokenElevationTypeDefault, true, TokenStanding::Elevated},
                          Case{TokenElevationTypeDefault, false, TokenStanding::StandardUser}}) {
        EXPECT_EQ(ClassifyToken(c.type, c.inAdministrators), c.standing) << c.type;
    }
    // Wine runs everything as an administrator.
    EXPECT_NE(CurrentTokenStanding(), TokenStanding::StandardUser);
}

TEST(MachineSettingsCommand, TheCopyWritesCheckedValuesIntoTheMachinesKeyAndNothingElse) {
    const std::wstring path = L"Software\\VelmoraTest-" + std::to_wstring(GetCurrentProcessId());
    MachineProfile machine(path);
    const ProfileFile::KeyValues values = {{"GlobalTimeSrvList", "a.test|\"b c\" d=e"},
                                           {"UpdateClockInterval", "60000"}};
    EXPECT_EQ(RunMachineSettingsCommand({MachineSettingsArguments(values)}, machine,
                                        CheckedMachineValues),
              kPrivateCommandDone);
    EXPECT_EQ(machine.ReadString("", "GlobalTimeSrvList", ""), "a.test|\"b c\" d=e");
    EXPECT_EQ(machine.ReadString("", "UpdateClockInterval", ""), "60000");

    for (const std::string& refused :
         {MachineSettingsArguments({{"StepLimitSeconds", "0"}}), MachineSettingsArguments({}),
          std::string("/VelmoraMachineSettings:4"), std::string("/VelmoraMachineSettings:zz"),
          std::string("/VelmoraMachineSettings:6100")}) {
        EXPECT_EQ(RunMachineSettingsCommand({refused}, machine, CheckedMachineValues),
                  ERROR_INVALID_DATA)
            << refused;
    }
    EXPECT_EQ(machine.ReadString("", "StepLimitSeconds", "none"), "none");
    EXPECT_FALSE(
        RunMachineSettingsCommand({"/VelmoraStopTimeService"}, machine, CheckedMachineValues));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
}

}  // namespace
}  // namespace velmora
