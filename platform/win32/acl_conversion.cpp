// Access lists between AccessList and the Win32 ACL forms, for every port that reads or
// writes them (by name or through a handle).
#include "platform/win32/acl_conversion.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstring>
#include <utility>

#include "platform/win32/handles.h"

namespace brenvik {
namespace {

bool IsAllowedOrDenied(std::uint8_t type) {
    return type == kAccessAllowedAceType || type == kAccessDeniedAceType;
}

// Object-specific entries (types 5 to 8 and their callback forms) need the DS revision.
bool NeedsDsRevision(std::uint8_t type) {
    return (type >= ACCESS_ALLOWED_OBJECT_ACE_TYPE && type <= SYSTEM_ALARM_OBJECT_ACE_TYPE) ||
           type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE ||
           type == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE;
}

Status ReadEntry(const ACE_HEADER* header, AccessEntry* entry) {
    entry->type = header->AceType;
    entry->flags = header->AceFlags;
    if (!IsAllowedOrDenied(header->AceType)) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(header);
        entry->raw.assign(bytes, bytes + header->AceSize);
        return kErrorSuccess;
    }
    // ACCESS_DENIED_ACE has the same layout as ACCESS_ALLOWED_ACE.
    const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
    entry->mask = ace->Mask;
    LPSTR text = nullptr;
    if (!ConvertSidToStringSidA(const_cast<DWORD*>(&ace->SidStart), &text))
        return static_cast<Status>(GetLastError());
    UniqueHlocal owned(text);
    entry->sid = text;
    return kErrorSuccess;
}

// One entry as the bytes AddAce takes.
Status EntryBytes(const AccessEntry& entry, std::vector<std::uint8_t>* bytes) {
    if (!IsAllowedOrDenied(entry.type)) {
        *bytes = entry.raw;
        return bytes->size() >= sizeof(ACE_HEADER) ? kErrorSuccess : kErrorInvalidParameter;
    }
    PSID sid = nullptr;
    if (!ConvertStringSidToSidA(entry.sid.c_str(), &sid))
        return static_cast<Status>(GetLastError());
    UniqueHlocal owned(sid);
    const DWORD sidLength = GetLengthSid(sid);
    const std::size_t size = offsetof(ACCESS_ALLOWED_ACE, SidStart) + sidLength;
    bytes->assign(size, 0);
    auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(bytes->data());
    ace->Header.AceType = entry.type;
    ace->Header.AceFlags = entry.flags;
    ace->Header.AceSize = static_cast<WORD>(size);
    ace->Mask = entry.mask;
    CopySid(sidLength, &ace->SidStart, sid);
    return kErrorSuccess;
}

}  // namespace

Status BuildAcl(const AccessList& list, std::vector<DWORD>* aclBuffer) {
    std::vector<std::vector<std::uint8_t>> entries;
    DWORD size = sizeof(ACL);
    DWORD revision = ACL_REVISION;
    for (const AccessEntry& entry : list.entries) {
        std::vector<std::uint8_t> bytes;
        if (Status s = EntryBytes(entry, &bytes))
            return s;
        size += static_cast<DWORD>(bytes.size());
        if (NeedsDsRevision(entry.type))
            revision = ACL_REVISION_DS;
        entries.push_back(std::move(bytes));
    }
    aclBuffer->assign((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    auto* acl = reinterpret_cast<PACL>(aclBuffer->data());
    if (!InitializeAcl(acl, size, revision))
        return static_cast<Status>(GetLastError());
    for (auto& bytes : entries) {
        if (!AddAce(acl, revision, MAXDWORD, bytes.data(), static_cast<DWORD>(bytes.size())))
            return static_cast<Status>(GetLastError());
    }
    return kErrorSuccess;
}

Status ToAccessList(PSECURITY_DESCRIPTOR descriptor, PACL dacl, AccessList* list) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!GetSecurityDescriptorControl(descriptor, &control, &revision))
        return static_cast<Status>(GetLastError());
    AccessList read;
    read.isProtected = (control & SE_DACL_PROTECTED) != 0;
    read.present = dacl != nullptr;
    if (dacl) {
        ACL_SIZE_INFORMATION info = {};
        if (!GetAclInformation(dacl, &info, sizeof info, AclSizeInformation))
            return static_cast<Status>(GetLastError());
        for (DWORD i = 0; i < info.AceCount; ++i) {
            void* ace = nullptr;
            if (!GetAce(dacl, i, &ace))
                return static_cast<Status>(GetLastError());
            AccessEntry entry;
            if (Status s = ReadEntry(static_cast<const ACE_HEADER*>(ace), &entry))
                return s;
            read.entries.push_back(std::move(entry));
        }
    }
    *list = std::move(read);
    return kErrorSuccess;
}

SECURITY_INFORMATION DaclInformation(const AccessList& list) {
    return DACL_SECURITY_INFORMATION | (list.isProtected ? PROTECTED_DACL_SECURITY_INFORMATION
                                                         : UNPROTECTED_DACL_SECURITY_INFORMATION);
}

}  // namespace brenvik
