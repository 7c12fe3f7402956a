#include "platform/windows/TokenStanding.h"

#include "platform/windows/OwnedHandle.h"

namespace velmora {
namespace {

bool InAdministrators() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                  0, 0, 0, 0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    const BOOL asked = CheckTokenMembership(nullptr, administrators, &member);
    FreeSid(administrators);
    return asked && member;
}

}  // namespace

TokenStanding ClassifyToken(TOKEN_ELEVATION_TYPE type, bool inAdministrators) {
    switch (type) {
        case TokenElevationTypeLimited:
            return TokenStanding::MayElevate;
        case TokenElevationTypeFull:
            return TokenStanding::Elevated;
        default:
            return inAdministrators ? TokenStanding::Elevated : TokenStanding::StandardUser;
    }
}

TokenStanding CurrentTokenStanding() {
    FileHandle token;
    TOKEN_ELEVATION_TYPE type{};
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.out()) ||
        !GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size)) {
        return TokenStanding::StandardUser;
    }
    return ClassifyToken(type, InAdministrators());
}

}  // namespace velmora
