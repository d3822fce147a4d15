// The shortcut reads the tests make most: one field or the browser rules' three, through a
// port (in a mode) or through the broker.
#pragma once

#include <string>
#include <utility>

#include "engine/change/access_broker.h"
#include "engine/ports/shortcut_port.h"

namespace brenvik::test {

constexpr std::uint32_t kShortcutDetails = kShortcutTarget | kShortcutArguments | kShortcutIcon;

template <typename Port>
Status ReadArguments(Port&& port, const std::string& path, std::string* arguments,
                     OpenMode mode = OpenMode::AsIs) {
    ShortcutProperties link = ShortcutArguments();
    const Status s = std::forward<Port>(port).readShortcut(path, mode, &link);
    *arguments = link.arguments;
    return s;
}

template <typename Port>
Status ReadDetails(Port&& port, const std::string& path, ShortcutProperties* details,
                   OpenMode mode = OpenMode::AsIs) {
    details->mask = kShortcutDetails;
    return std::forward<Port>(port).readShortcut(path, mode, details);
}

inline Status ReadArguments(AccessBroker& broker, const std::string& path, std::string* arguments) {
    ShortcutProperties link = ShortcutArguments();
    const Status s = broker.readShortcut(path, &link);
    *arguments = link.arguments;
    return s;
}

}  // namespace brenvik::test
