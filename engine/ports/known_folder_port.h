// Where the shell keeps the folders the scanners read, by known-folder identity.
#pragma once

#include <string>

#include "engine/ports/win_status.h"

namespace brenvik {

// The folders the engine asks for; each maps to one FOLDERID (Temp to GetTempPathW).
enum class KnownFolder {
    Desktop,          // FOLDERID_Desktop
    PublicDesktop,    // FOLDERID_PublicDesktop
    QuickLaunch,      // FOLDERID_QuickLaunch
    StartMenu,        // FOLDERID_StartMenu
    CommonStartMenu,  // FOLDERID_CommonStartMenu
    Startup,          // FOLDERID_Startup
    CommonStartup,    // FOLDERID_CommonStartup
    RoamingAppData,   // FOLDERID_RoamingAppData
    LocalAppData,     // FOLDERID_LocalAppData
    Temp,             // GetTempPathW
};

class KnownFolderPort {
public:
    virtual ~KnownFolderPort() = default;

    // SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, NULL): the folder's path as UTF-8, without a
    // closing backslash (a drive's root keeps its own). 0, or the error (a Win32 code, or
    // ERROR_FILE_NOT_FOUND for a folder the system does not define).
    virtual Status knownFolder(KnownFolder id, std::string* path) = 0;
};

}  // namespace brenvik
