#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include "platform/windows/ClockServiceNames.h"

namespace velmora {
namespace {

// Interactive users get exactly what the program's client asks for, never a new instance of the
// pipe; only the system, administrators and the service's own account get more.
TEST(ClockServicePipe, InteractiveUsersMayDoWhatTheClientAsksAndNoMore) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        kClockServicePipeSecurity, SDDL_REVISION_1, &descriptor, nullptr));
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl != nullptr);
    int interactive = 0;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, &ace));
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        ASSERT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        if (IsWellKnownSid(sid, WinInteractiveSid)) {
            ++interactive;
            EXPECT_EQ(allowed->Mask, kClockServicePipeAccess);
            EXPECT_EQ(allowed->Mask & (FILE_CREATE_PIPE_INSTANCE | GENERIC_WRITE | WRITE_DAC), 0U);
        } else {
            EXPECT_TRUE(IsWellKnownSid(sid, WinLocalSystemSid) ||
                        IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
                        IsWellKnownSid(sid, WinLocalServiceSid))
                << "entry " << i;
        }
    }
    EXPECT_EQ(interactive, 1);
    LocalFree(descriptor);
}

}  // namespace
}  // namespace velmora
