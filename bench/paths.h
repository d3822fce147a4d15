// Registry and folder names the benchmark's worlds and its bare loop share.
#pragma once

#include "engine/places/shell_folder.h"         // kShellFoldersKey
#include "engine/vectors/name_space_scanner.h"  // kNameSpaceKey

namespace brenvik::bench {

constexpr const char* kClassesKey = "SOFTWARE\\Classes\\CLSID";
constexpr const char* kQuickLaunchSubPath = "Microsoft\\Internet Explorer\\Quick Launch";
// Below Quick Launch, and below a Start Menu.
constexpr const char* kTaskbarSubPath = "User Pinned\\TaskBar";
constexpr const char* kStartupSubPath = "Programs\\Startup";

}  // namespace brenvik::bench
