// Finding a per-user shell folder ("Desktop", "AppData") from the Shell Folders values.
#pragma once

#include <string>

#include "engine/ports/ports.h"

namespace brenvik {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Reads the Shell Folders value valueName under HKEY_CURRENT_USER into folder and returns
// the folder text's length; 0 with folder empty when the value is missing, not REG_SZ or
// REG_EXPAND_SZ (used unexpanded), 260 UTF-16 units or longer with its terminator, or
// names no existing directory. Text is UTF-8.
std::size_t FindUserShellFolder(RegistryReader& registry, FileReader& files,
                                const std::string& valueName, std::string& folder);

}  // namespace brenvik
