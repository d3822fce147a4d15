// The access lists that unlock a key or a file for "Everyone": the last step of escalation
// (see AccessBroker), written only for one call and put back right after.
#pragma once

#include <string>

#include "engine/ports/access_port.h"

namespace brenvik {

// The access list after a SET_ACCESS grant of rights (with inheritance flags) to the
// trustee: every explicit entry of that trustee is replaced by one allow entry; explicit
// deny entries stay ahead of allow entries, inherited entries last.
AccessList WithSetAccess(const AccessList& list, const std::string& sid, std::uint32_t mask,
                         std::uint8_t inheritance);

// A file's list with an allow entry for "Everyone" (GENERIC_ALL, object inherit) added:
// only allowed and denied entries are kept; explicit before inherited, and within each
// group denied before allowed.
AccessList WithEveryoneFileEntry(const AccessList& list);

}  // namespace brenvik
