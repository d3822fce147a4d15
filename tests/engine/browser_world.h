// A scratch profile on the model with every place the browser rules walk, the user's program
// folders and a registered Chrome, Edge and Firefox.
#pragma once

#include <string>

#include "tests/engine/model_world.h"

namespace brenvik::testing {

constexpr const char* kPublicDesktop = "C:\\Users\\Public\\Desktop";
constexpr const char* kStartMenu = "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
constexpr const char* kCommonStartMenu = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
constexpr const char* kStartup =
    "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
constexpr const char* kCommonStartup =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp";
constexpr const char* kLocalAppData = "C:\\Users\\u\\AppData\\Local";
constexpr const char* kChrome = "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
constexpr const char* kEdge = "C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe";
constexpr const char* kFirefox = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";
constexpr const char* kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

struct BrowserWorld : ModelWorld {
    BrowserWorld() {
        const std::pair<KnownFolder, std::string> folders[] = {
            {KnownFolder::Desktop, kDesktop},
            {KnownFolder::PublicDesktop, kPublicDesktop},
            {KnownFolder::QuickLaunch, kQuickLaunch},
            {KnownFolder::StartMenu, kStartMenu},
            {KnownFolder::CommonStartMenu, kCommonStartMenu},
            {KnownFolder::Startup, kStartup},
            {KnownFolder::CommonStartup, kCommonStartup},
            {KnownFolder::RoamingAppData, kAppData},
            {KnownFolder::LocalAppData, kLocalAppData},
            {KnownFolder::Temp, std::string(kLocalAppData) + "\\Temp"},
        };
        for (const auto& folder : folders) {
            platform.setKnownFolder(folder.first, folder.second);
            platform.addFolder(folder.second);
        }
        platform.addFolder(std::string(kQuickLaunch) + "\\User Pinned\\TaskBar");
        platform.addFolder(std::string(kQuickLaunch) + "\\User Pinned\\StartMenu");
        // Chrome and Firefox per machine, Edge per user, as their installers register them.
        registerBrowser(kHKeyLocalMachine, "chrome.exe", kChrome);
        registerBrowser(kHKeyLocalMachine, "firefox.exe", kFirefox);
        registerBrowser(kHKeyCurrentUser, "msedge.exe", kEdge);
    }

    void registerBrowser(RegKey root, const std::string& executable, const std::string& path) {
        platform.putString(root, kAppPaths + executable, "", path);
        platform.addFile(path);
    }
};

}  // namespace brenvik::testing
