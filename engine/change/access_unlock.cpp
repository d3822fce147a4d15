#include "engine/change/access_unlock.h"

#include <algorithm>
#include <utility>

namespace brenvik {
namespace {

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
    return SidEntry(kAccessAllowedAceType, flags, mask, sid);
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

AccessList WithGrantFirst(const AccessList& list, const std::string& sid, std::uint32_t mask) {
    AccessList result;
    result.present = true;
    result.isProtected = list.isProtected;
    result.entries.push_back(AllowEntry(sid, mask, 0));
    result.entries.insert(result.entries.end(), list.entries.begin(), list.entries.end());
    return result;
}

}  // namespace brenvik
