#pragma once

#include <windows.h>

namespace velmora {

// What this user's token lets the program do with what only administrators may change.
enum class TokenStanding {
    // Not an administrator: no prompt would help.
    StandardUser,
    // An administrator under UAC, not elevated: one prompt away.
    MayElevate,
    // Elevated, or an administrator without UAC.
    Elevated,
};

// The standing of a token of elevation type `type`, a member of Administrators or not (a limited
// token's membership is deny-only, and so reads as not).
TokenStanding ClassifyToken(TOKEN_ELEVATION_TYPE type, bool inAdministrators);

// This process's standing; a token that cannot be asked counts as a standard user's.
TokenStanding CurrentTokenStanding();

}  // namespace velmora
