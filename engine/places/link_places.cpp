#include "engine/places/link_places.h"

#include "engine/places/shell_folder.h"
#include "engine/rules/browser_paths.h"

namespace brenvik {
namespace {

struct LinkPlace {
    const char* label;
    KnownFolder folder;
    const char* subPath;  // below the known folder, "" for the folder itself
    bool withSubfolders;
    bool machineWide;
};

// clang-format off
// One place a line; rows come in this order. Pinned shortcuts live below Quick Launch.
const LinkPlace kLinkPlaces[] = {
    {"Desktop", KnownFolder::Desktop, "", false, false},
    {"Public Desktop", KnownFolder::PublicDesktop, "", false, true},
    {"Quick Launch", KnownFolder::QuickLaunch, "", false, false},
    {"Taskbar", KnownFolder::QuickLaunch, "User Pinned\\TaskBar", false, false},
    {"Start Menu", KnownFolder::StartMenu, "", true, false},
    {"Start Menu", KnownFolder::CommonStartMenu, "", true, true},
    {"Start Menu", KnownFolder::QuickLaunch, "User Pinned\\StartMenu", false, false},
    {"Startup", KnownFolder::Startup, "", false, false},
    {"Startup", KnownFolder::CommonStartup, "", false, true},
};
// clang-format on

const KnownFolder kUserProgramFolders[] = {KnownFolder::RoamingAppData, KnownFolder::LocalAppData,
                                           KnownFolder::Temp};

std::string WithBackslash(std::string folder) {
    if (folder.back() != '\\')
        folder += '\\';
    return folder;
}

bool Holds(const std::vector<PlaceFolder>& places, const std::string& folder) {
    const std::string wanted = NormalizedPath(folder);
    for (const PlaceFolder& place : places) {
        if (NormalizedPath(place.folder) == wanted)
            return true;
    }
    return false;
}

}  // namespace

bool FindLinkFolder(const PortReads& ports, const ShellFolderPlace& place, std::string* base) {
    if (FindUserShellFolder(ports.registry, ports.files, place.valueName, *base) == 0)
        return false;
    *base = WithBackslash(*base) + place.subPath;
    return true;
}

std::vector<PlaceFolder> FindPlaceFolders(const PortReads& ports) {
    std::vector<PlaceFolder> places;
    for (const LinkPlace& place : kLinkPlaces) {
        std::string folder;
        if (ports.knownFolders.knownFolder(place.folder, &folder) != kErrorSuccess ||
            folder.empty())
            continue;
        folder = WithBackslash(folder);
        if (*place.subPath != '\0')
            folder = WithBackslash(folder + place.subPath);
        if (Holds(places, folder))
            continue;
        places.push_back(PlaceFolder{place.label, folder, place.withSubfolders, place.machineWide});
    }
    return places;
}

std::vector<std::string> UserProgramFolders(const PortReads& ports) {
    std::vector<std::string> folders;
    for (KnownFolder id : kUserProgramFolders) {
        std::string folder;
        if (ports.knownFolders.knownFolder(id, &folder) == kErrorSuccess && !folder.empty())
            folders.push_back(folder);
    }
    return folders;
}

}  // namespace brenvik
