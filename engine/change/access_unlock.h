// The access lists that unlock a key or a file for the running administrators: the last step
// of escalation (see AccessBroker), written only for one call and put back right after.
#pragma once

#include <string>

#include "engine/ports/access_port.h"

namespace brenvik {

// The access list after a SET_ACCESS grant of rights (with inheritance flags) to the
// trustee: every explicit entry of that trustee is replaced by one allow entry; explicit
// deny entries stay ahead of allow entries, inherited entries last.
AccessList WithSetAccess(const AccessList& list, const std::string& sid, std::uint32_t mask,
                         std::uint8_t inheritance);

// The list with one allow entry of mask for sid, without inheritance, ahead of all the others,
// which stay as they were: no deny entry (a lock on "Everyone", say) stands before it, and
// nobody else gains or loses anything. Windows checks entries in the order the list holds
// them, canonical or not.
AccessList WithGrantFirst(const AccessList& list, const std::string& sid, std::uint32_t mask);

}  // namespace brenvik
