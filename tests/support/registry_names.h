// Registry names the tests plant hijacks and profiles under, on the model and under Wine,
// written out apart from the engine's own so that a wrong name in the engine fails a test.
#pragma once

namespace brenvik::test {

// The per-user profile folders.
constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The desktop name space, below HKLM or HKCU.
constexpr const char* kNameSpace =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace";
// Class registrations, with the backslash the class identifier follows: the machine's (HKLM)
// and the user's (HKCU).
constexpr const char* kMachineClasses = "SOFTWARE\\Classes\\CLSID\\";
constexpr const char* kUserClasses = "Software\\Classes\\CLSID\\";
// The browsers' executables, with the backslash the executable's name follows.
constexpr const char* kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
// Classes of fake icons.
constexpr const char* kClassA = "{11111111-2222-3333-4444-555555555555}";
constexpr const char* kClassB = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

// What Fix Desktop restores: the desktop icons' visibility values and the network places
// folder's registration.
constexpr const char* kHideIcons =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons";
constexpr const char* kIeClass = "{871C5380-42A0-1069-A2EA-08002B30309D}";
constexpr const char* kPlacesClass = "{208D2C60-3AEA-1069-A2D7-08002B30309D}";
constexpr const char* kPlacesKey =
    "Software\\Classes\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}";

}  // namespace brenvik::test
