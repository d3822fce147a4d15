// One access list entry written out in a line, for the tests that build lists.
#pragma once

#include <cstdint>
#include <string>

#include "engine/ports/access_port.h"

namespace brenvik::test {

inline AccessEntry Entry(std::uint8_t type, std::uint8_t flags, std::uint32_t mask,
                         const std::string& sid) {
    AccessEntry entry;
    entry.type = type;
    entry.flags = flags;
    entry.mask = mask;
    entry.sid = sid;
    return entry;
}

}  // namespace brenvik::test
