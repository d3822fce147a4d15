// Reading and rewriting the arguments of shortcut (.lnk) files.
#pragma once

#include <string>

namespace brenvik {

class ShortcutPort {
public:
    virtual ~ShortcutPort() = default;

    // The arguments text of the shortcut at linkPath (at most 4095 characters); the empty
    // text when the file cannot be loaded as a shortcut or has no arguments.
    virtual std::string readLinkArguments(const std::string& linkPath) = 0;
    // Loads the shortcut, replaces its arguments and saves it to the same path, everything
    // else unchanged. True only when loading, setting and saving all succeeded.
    virtual bool writeLinkArguments(const std::string& linkPath, const std::string& arguments) = 0;
};

}  // namespace brenvik
