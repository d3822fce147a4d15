// The folders of a user's profile on the in-memory platform, as Windows lays them out, for
// the model tests and the model benchmark: every known folder the places read.
#pragma once

#include <string>
#include <utility>

#include "platform/model/model_platform.h"

namespace brenvik::test {

// The model tests' user "u", whose Desktop, AppData and Quick Launch tests/engine/model_world.h
// names; Startup below the Start Menu, spelled as Windows spells it.
constexpr const char* kStartMenu = "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
inline const std::string kStartup = std::string(kStartMenu) + "\\Programs\\Startup";
constexpr const char* kLocalAppData = "C:\\Users\\u\\AppData\\Local";

// Every user's.
constexpr const char* kPublicDesktop = "C:\\Users\\Public\\Desktop";
constexpr const char* kCommonStartMenu = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
inline const std::string kCommonStartup = std::string(kCommonStartMenu) + "\\Programs\\StartUp";

struct ProfileFolders {
    std::string desktop;
    std::string publicDesktop;
    std::string quickLaunch;
    std::string startMenu;
    std::string commonStartMenu;
    std::string startup;
    std::string commonStartup;
    std::string appData;
    std::string localAppData;
};

// Points every known folder at its folder of the profile (Temp below the local application
// data) and creates it.
inline void AddProfileFolders(model::ModelPlatform& platform, const ProfileFolders& profile) {
    const std::pair<KnownFolder, std::string> folders[] = {
        {KnownFolder::Desktop, profile.desktop},
        {KnownFolder::PublicDesktop, profile.publicDesktop},
        {KnownFolder::QuickLaunch, profile.quickLaunch},
        {KnownFolder::StartMenu, profile.startMenu},
        {KnownFolder::CommonStartMenu, profile.commonStartMenu},
        {KnownFolder::Startup, profile.startup},
        {KnownFolder::CommonStartup, profile.commonStartup},
        {KnownFolder::RoamingAppData, profile.appData},
        {KnownFolder::LocalAppData, profile.localAppData},
        {KnownFolder::Temp, profile.localAppData + "\\Temp"},
    };
    for (const auto& folder : folders) {
        platform.setKnownFolder(folder.first, folder.second);
        platform.addFolder(folder.second);
    }
}

}  // namespace brenvik::test
