// Win32Platform's access port: DACLs of named keys and files to and from AccessList.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/acl_conversion.h"
#include "platform/win32/handles.h"
#include "platform/win32/registry_edge.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

bool IsKnownType(SecurityObjectType type) {
    return type == SecurityObjectType::File || type == SecurityObjectType::RegistryKey;
}

}  // namespace

Status Win32Platform::tokenUserSid(std::string* sid) {
    sid->clear();
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return static_cast<Status>(GetLastError());
    // TOKEN_USER followed by its SID: SECURITY_MAX_SID_SIZE covers any SID.
    alignas(TOKEN_USER) std::uint8_t buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size))
        return static_cast<Status>(GetLastError());
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text))
        return static_cast<Status>(GetLastError());
    UniqueHlocal owned(text);
    *sid = WideToUtf8(text);
    return kErrorSuccess;
}

Status Win32Platform::readAccessList(const std::string& objectName, SecurityObjectType type,
                                     AccessList* list) {
    if (!IsKnownType(type))
        return kErrorInvalidParameter;
    if (HasEmbeddedNul(objectName))
        return ERROR_INVALID_NAME;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = GetNamedSecurityInfoW(
        Utf8ToWide(objectName).c_str(), static_cast<SE_OBJECT_TYPE>(type),
        DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr, &descriptor);
    UniqueHlocal owned(descriptor);
    if (status != ERROR_SUCCESS)
        return static_cast<Status>(status);

    return ToAccessList(descriptor, dacl, list);
}

Status Win32Platform::writeAccessList(const std::string& objectName, SecurityObjectType type,
                                      const AccessList& list) {
    if (!IsKnownType(type))
        return kErrorInvalidParameter;
    if (HasEmbeddedNul(objectName))
        return ERROR_INVALID_NAME;
    std::vector<DWORD> aclBuffer;
    if (list.present) {
        if (Status s = BuildAcl(list, &aclBuffer))
            return s;
    }
    const SECURITY_INFORMATION what = DaclInformation(list);
    // SetNamedSecurityInfoW takes a writable name.
    std::wstring name = Utf8ToWide(objectName);
    // A null DACL (present == false) admits everybody.
    PACL dacl = list.present ? reinterpret_cast<PACL>(aclBuffer.data()) : nullptr;
    return static_cast<Status>(SetNamedSecurityInfoW(name.data(), static_cast<SE_OBJECT_TYPE>(type),
                                                     what, nullptr, nullptr, dacl, nullptr));
}

}  // namespace brenvik
