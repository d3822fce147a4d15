#include "engine/access_unlock.h"

#include <algorithm>
#include <utility>

namespace brenvik {
namespace {

// What SetFileAttributesA accepts; directory, reparse and similar bits are read-only.
constexpr std::uint32_t kSettableAttributes = 0x1 | 0x2 | 0x4 | 0x20 | 0x100 | 0x1000 | 0x2000;

bool IsInherited(const AccessEntry& e) {
    return (e.flags & kInheritedAce) != 0;
}
bool IsDenied(const AccessEntry& e) {
    return e.type == kAccessDeniedAceType;
}
bool IsAllowedOrDenied(const AccessEntry& e) {
    return e.type == kAccessAllowedAceType || e.type == kAccessDeniedAceType;
}

// Explicit entries first, then inherited ones; denied before allowed within each group.
// Stable, so the order within a group is kept.
void SortCanonically(std::vector<AccessEntry>& entries) {
    auto rank = [](const AccessEntry& e) {
        return (IsInherited(e) ? 2 : 0) + (IsDenied(e) ? 0 : 1);
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const AccessEntry& a, const AccessEntry& b) { return rank(a) < rank(b); });
}

AccessEntry AllowEntry(const std::string& sid, std::uint32_t mask, std::uint8_t flags) {
    AccessEntry entry;
    entry.type = kAccessAllowedAceType;
    entry.flags = flags;
    entry.mask = mask;
    entry.sid = sid;
    return entry;
}

}  // namespace

AccessList WithSetAccess(const AccessList& list, const std::string& sid, std::uint32_t mask,
                         std::uint8_t inheritance) {
    AccessList result;
    result.present = true;
    result.isProtected = list.isProtected;
    for (const AccessEntry& e : list.entries) {
        if (!IsInherited(e) && IsAllowedOrDenied(e) && e.sid == sid)
            continue;
        result.entries.push_back(e);
    }
    result.entries.push_back(AllowEntry(sid, mask, inheritance));
    SortCanonically(result.entries);
    return result;
}

AccessList WithEveryoneFileEntry(const AccessList& list) {
    AccessList result;
    result.present = true;
    result.isProtected = list.isProtected;
    for (const AccessEntry& e : list.entries) {
        if (IsAllowedOrDenied(e))
            result.entries.push_back(e);
    }
    result.entries.push_back(AllowEntry(kEveryoneSid, kGenericAll, kObjectInheritAce));
    SortCanonically(result.entries);
    return result;
}

namespace {

// Writes the unlocked form of a key's list that has just been read.
bool GrantEveryoneKey(AccessPort& access, const std::string& objectName, const AccessList& list) {
    const AccessList unlocked =
        WithSetAccess(list, kEveryoneSid, kKeyAllAccess, kObjectInheritAce | kContainerInheritAce);
    return access.writeAccessList(objectName, SecurityObjectType::RegistryKey, unlocked) ==
           kErrorSuccess;
}

// Adds the "Everyone" entry to a file's list that has just been read, then clears the
// file's attributes. A null list already admits everybody; there is nothing to add to it.
void GrantEveryoneFile(AccessPort& access, FilePort& files, const std::string& path,
                       const AccessList* list) {
    if (list != nullptr && list->present)
        access.writeAccessList(path, SecurityObjectType::File, WithEveryoneFileEntry(*list));
    files.setAttributes(path, 0);
}

bool IsLinked(FilePort& files, const std::string& path, std::uint32_t attributes) {
    if (attributes != kInvalidFileAttributes && (attributes & kFileAttributeReparsePoint))
        return true;
    if (attributes != kInvalidFileAttributes && (attributes & kFileAttributeDirectory))
        return false;
    std::uint32_t links = 0;
    if (files.getLinkCount(path, &links) != kErrorSuccess)
        return true;
    return links > 1;
}

}  // namespace

bool UnlockRegistryKey(AccessPort& access, const std::string& objectName) {
    AccessList list;
    if (access.readAccessList(objectName, SecurityObjectType::RegistryKey, &list) != kErrorSuccess)
        return false;
    return GrantEveryoneKey(access, objectName, list);
}

bool UnlockFile(AccessPort& access, FilePort& files, const std::string& path) {
    AccessList list;
    const bool read = access.readAccessList(path, SecurityObjectType::File, &list) == kErrorSuccess;
    GrantEveryoneFile(access, files, path, read ? &list : nullptr);
    return true;
}

bool IsLinkedFile(FilePort& files, const std::string& path) {
    return IsLinked(files, path, files.getAttributes(path));
}

ScopedKeyUnlock::ScopedKeyUnlock(AccessPort& access, std::string objectName)
    : m_access(access), m_objectName(std::move(objectName)) {
    if (m_access.readAccessList(m_objectName, SecurityObjectType::RegistryKey, &m_previous) !=
        kErrorSuccess)
        return;
    m_restore = GrantEveryoneKey(m_access, m_objectName, m_previous);
}

ScopedKeyUnlock::~ScopedKeyUnlock() {
    if (!m_restore)
        return;
    // A key deleted meanwhile simply refuses the write.
    m_access.writeAccessList(m_objectName, SecurityObjectType::RegistryKey, m_previous);
}

ScopedFileUnlock::ScopedFileUnlock(AccessPort& access, FilePort& files, std::string path)
    : m_access(access), m_files(files), m_path(std::move(path)) {
    m_previousAttributes = m_files.getAttributes(m_path);
    if (IsLinked(m_files, m_path, m_previousAttributes))
        return;
    const bool read =
        m_access.readAccessList(m_path, SecurityObjectType::File, &m_previousList) == kErrorSuccess;
    m_haveList = read && m_previousList.present;
    GrantEveryoneFile(m_access, m_files, m_path, read ? &m_previousList : nullptr);
    m_unlocked = true;
}

ScopedFileUnlock::~ScopedFileUnlock() {
    if (!m_unlocked)
        return;
    // Attributes first: once the old list is back it may no longer let us change them.
    const std::uint32_t attributes = m_previousAttributes & kSettableAttributes;
    if (m_previousAttributes != kInvalidFileAttributes &&
        !m_files.setAttributes(m_path, attributes) &&
        m_files.getAttributes(m_path) == kInvalidFileAttributes)
        return;  // the file is gone
    if (m_haveList)
        m_access.writeAccessList(m_path, SecurityObjectType::File, m_previousList);
    // Where the read-only bit and the list share one representation (Wine maps both onto the
    // Unix mode), writing the list may have changed the attributes again.
    if (m_previousAttributes != kInvalidFileAttributes &&
        (m_files.getAttributes(m_path) & kSettableAttributes) != attributes)
        m_files.setAttributes(m_path, attributes);
}

}  // namespace brenvik
