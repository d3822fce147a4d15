// Switching the debug privilege in the program's own access token.
#pragma once

namespace brenvik {

// Enables (enable true) or disables SeDebugPrivilege in the process token. True exactly when
// the token was adjusted in full; an account that does not hold the privilege gets false
// (ERROR_NOT_ALL_ASSIGNED).
bool EnableDebugPrivilege(bool enable);

}  // namespace brenvik
