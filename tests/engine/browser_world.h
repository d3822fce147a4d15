// A scratch profile on the model with every place the browser rules walk, the user's program
// folders and a registered Chrome, Edge and Firefox.
#pragma once

#include <string>

#include "tests/engine/model_world.h"
#include "tests/support/model_profile.h"
#include "tests/support/registry_names.h"

namespace brenvik::testing {

constexpr const char* kChrome = "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
constexpr const char* kEdge = "C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe";
constexpr const char* kFirefox = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";

struct BrowserWorld : ModelWorld {
    BrowserWorld() {
        test::AddProfileFolders(platform, {kDesktop, test::kPublicDesktop, kQuickLaunch,
                                           test::kStartMenu, test::kCommonStartMenu, test::kStartup,
                                           test::kCommonStartup, kAppData, test::kLocalAppData});
        platform.addFolder(std::string(kQuickLaunch) + "\\User Pinned\\TaskBar");
        platform.addFolder(std::string(kQuickLaunch) + "\\User Pinned\\StartMenu");
        // Chrome and Firefox per machine, Edge per user, as their installers register them.
        registerBrowser(kHKeyLocalMachine, "chrome.exe", kChrome);
        registerBrowser(kHKeyLocalMachine, "firefox.exe", kFirefox);
        registerBrowser(kHKeyCurrentUser, "msedge.exe", kEdge);
    }

    void registerBrowser(RegKey root, const std::string& executable, const std::string& path) {
        platform.putString(root, test::kAppPaths + executable, "", path);
        platform.addFile(path);
    }
};

}  // namespace brenvik::testing
