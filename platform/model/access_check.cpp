#include "platform/model/access_check.h"

#include <algorithm>

namespace brenvik::model {
namespace {

constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;

constexpr std::uint32_t kFileGenericRead = 0x120089;
constexpr std::uint32_t kFileGenericWrite = 0x120116;
constexpr std::uint32_t kFileGenericExecute = 0x1200A0;

bool IsCallerSid(const std::string& sid) {
    const std::vector<std::string>& sids = CallerSids();
    return std::find(sids.begin(), sids.end(), sid) != sids.end();
}

}  // namespace

const std::vector<std::string>& CallerSids() {
    static const std::vector<std::string> sids = {kEveryoneSid, kAdministratorsSid, "S-1-5-32-545",
                                                  "S-1-5-11"};
    return sids;
}

std::uint32_t MapGenericRights(std::uint32_t mask, ObjectKind kind) {
    const bool key = kind == ObjectKind::Key;
    std::uint32_t mapped = mask & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
    if (mask & kGenericRead)
        mapped |= key ? kKeyRead : kFileGenericRead;
    if (mask & kGenericWrite)
        mapped |= key ? kKeyWrite : kFileGenericWrite;
    // KEY_EXECUTE is the same as KEY_READ.
    if (mask & kGenericExecute)
        mapped |= key ? kKeyRead : kFileGenericExecute;
    if (mask & kGenericAll)
        mapped |= key ? kKeyAllAccess : kFileAllAccess;
    return mapped;
}

long CheckAccess(const AccessList& list, std::uint32_t desired, ObjectKind kind) {
    std::uint32_t needed = MapGenericRights(desired, kind) & ~(kReadControl | kWriteDac);
    if (!list.present || needed == 0)
        return kErrorSuccess;
    for (const AccessEntry& entry : list.entries) {
        if (entry.flags & kInheritOnlyAce)
            continue;
        if (entry.type != kAccessAllowedAceType && entry.type != kAccessDeniedAceType)
            continue;
        if (!IsCallerSid(entry.sid))
            continue;
        const std::uint32_t mask = MapGenericRights(entry.mask, kind);
        if (entry.type == kAccessDeniedAceType) {
            if (mask & needed)
                return kErrorAccessDenied;
            continue;
        }
        needed &= ~mask;
        if (needed == 0)
            return kErrorSuccess;
    }
    return kErrorAccessDenied;
}

}  // namespace brenvik::model
