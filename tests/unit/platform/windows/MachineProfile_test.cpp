#include "platform/windows/MachineProfile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/Error.h"

namespace velmora {
namespace {

// A key of the test's own under HKLM, and the same path under HKCU where a user could write.
class MachineProfileTest : public ::testing::Test {
  protected:
    const std::wstring path = L"Software\\VelmoraTest-" + std::to_wstring(GetCurrentProcessId());
    MachineProfile machine{path};

    void SetValue(HKEY root, const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    }
};

TEST_F(MachineProfileTest, ReadsTheMachinesKeyOnlyAndRefusesWhatItCannotRead) {
    // No key: no defaults in its place.
    EXPECT_FALSE(machine.Exists());
    EXPECT_THROW(machine.ReadString("Data", "GlobalTimeSrvList", "default"), Error);

    // A user's own copy of the key is never read.
    const wchar_t evil[] = L"evil.example";
    SetValue(HKEY_CURRENT_USER, L"GlobalTimeSrvList", REG_SZ, evil, sizeof evil);
    machine.WriteStrings("Data", {{"UpdateClock", "1"}, {"GlobalTimeSrvList", "Łukasz.example"}});
    EXPECT_TRUE(machine.Exists());
    EXPECT_EQ(machine.ReadString("Data", "GlobalTimeSrvList", "default"), "Łukasz.example");
    EXPECT_EQ(machine.ReadString("Data", "StepLimitSeconds", "3600"), "3600");

    // A value that is not a text is not guessed at.
    const DWORD number = 1;
    SetValue(HKEY_LOCAL_MACHINE, L"UpdateClock", REG_DWORD, &number, sizeof number);
    try {
        machine.ReadString("Data", "UpdateClock", "0");
        ADD_FAILURE() << "a REG_DWORD was read";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("not a text"), std::string::npos);
    }
}

// The registry itself, but the set of value number FailAt (from 0) is refused.
class FailingRegistry : public WindowsRegistry {
  public:
    long SetString(RegistryRoot root, const std::string& path, const std::string& name,
                   const std::string& value) override {
        return sets++ == FailAt ? ERROR_ACCESS_DENIED
                                : WindowsRegistry::SetString(root, path, name, value);
    }
    int FailAt = -1;
    int sets = 0;
};

TEST_F(MachineProfileTest, AWriteThatFailsMidwayLeavesEveryValueAsItWas) {
    machine.WriteStrings("Data", {{"GlobalTimeSrvList", "old.test"}, {"UpdateClock", "0"}});
    const ProfileFile::KeyValues change = {
        {"GlobalTimeSrvList", "new.test"}, {"UpdateClockInterval", "60000"}, {"UpdateClock", "1"}};
    for (const int failAt : {0, 1, 2}) {
        FailingRegistry registry;
        registry.FailAt = failAt;
        MachineProfile failing(path, &registry);
        EXPECT_THROW(failing.WriteStrings("Data", change), Error) << failAt;
        EXPECT_EQ(machine.ReadString("Data", "GlobalTimeSrvList", ""), "old.test") << failAt;
        EXPECT_EQ(machine.ReadString("Data", "UpdateClock", ""), "0") << failAt;
        EXPECT_EQ(machine.ReadString("Data", "UpdateClockInterval", "none"), "none") << failAt;
    }
    FailingRegistry registry;
    MachineProfile(path, &registry).WriteStrings("Data", change);
    EXPECT_EQ(machine.ReadString("Data", "UpdateClockInterval", "none"), "60000");
}

}  // namespace
}  // namespace velmora
