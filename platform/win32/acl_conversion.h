// Access lists between AccessList and the Win32 ACL forms.
#pragma once

#include <windows.h>

#include <vector>

#include "engine/ports/access_port.h"

namespace brenvik {

// The DACL of a descriptor (dacl as GetSecurityInfo returned it; null for a null DACL).
Status ToAccessList(PSECURITY_DESCRIPTOR descriptor, PACL dacl, AccessList* list);

// The list as an ACL in aclBuffer (DWORD-aligned, as InitializeAcl wants).
Status BuildAcl(const AccessList& list, std::vector<DWORD>* aclBuffer);

// DACL_SECURITY_INFORMATION with the list's protection.
SECURITY_INFORMATION DaclInformation(const AccessList& list);

}  // namespace brenvik
