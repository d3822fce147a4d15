#include "app/privilege.h"

#include <windows.h>

namespace brenvik {

namespace {

// Owns a kernel handle closed by CloseHandle; the empty state is null, as OpenProcessToken
// leaves it.
class UniqueHandle {
public:
    UniqueHandle() = default;
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() {
        if (m_h != nullptr) {
            CloseHandle(m_h);
        }
    }

    HANDLE get() const { return m_h; }
    HANDLE* put() { return &m_h; }

private:
    HANDLE m_h = nullptr;
};

}  // namespace

bool EnableDebugPrivilege(bool enable) {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.put())) {
        return false;
    }
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    // Without a known identifier the adjustment would name whatever the LUID happened to hold.
    if (!LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
        return false;
    }
    // AdjustTokenPrivileges succeeds also when it could not assign the privilege; only the
    // last error (ERROR_NOT_ALL_ASSIGNED) tells.
    if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr,
                               nullptr)) {
        return false;
    }
    return GetLastError() == ERROR_SUCCESS;
}

}  // namespace brenvik
