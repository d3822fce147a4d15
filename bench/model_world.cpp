#include "bench/model_world.h"

#include "bench/profile.h"
#include "tests/support/model_profile.h"

namespace brenvik::bench {
namespace {

constexpr const char* kDesktop = "C:\\Users\\bench\\Desktop";
constexpr const char* kAppData = "C:\\Users\\bench\\AppData\\Roaming";
constexpr const char* kLocalAppData = "C:\\Users\\bench\\AppData\\Local";
constexpr const char* kStartMenu =
    "C:\\Users\\bench\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";

// Each place's folder, and the known folders that name them.
struct ModelFolders {
    std::string quickLaunch = std::string(kAppData) + "\\" + kQuickLaunchSubPath;
    std::string taskbar = quickLaunch + "\\" + kTaskbarSubPath;
    std::string startup = std::string(kStartMenu) + "\\" + kStartupSubPath;
    std::string commonStartup = std::string(test::kCommonStartMenu) + "\\" + kStartupSubPath;

    PlaceFolders places() const {
        return {kDesktop, test::kPublicDesktop, quickLaunch, kStartMenu};
    }

    void addTo(model::ModelPlatform& platform) const {
        test::AddProfileFolders(
            platform, {kDesktop, test::kPublicDesktop, quickLaunch, kStartMenu,
                       test::kCommonStartMenu, startup, commonStartup, kAppData, kLocalAppData});
        platform.addFolder(taskbar);
    }
};

// A locked object: its protected list grants SYSTEM alone, the administrators nothing.
AccessList RefusingList() {
    AccessList list;
    list.present = true;
    list.isProtected = true;
    AccessEntry system;
    system.mask = kGenericAll;
    system.sid = model::kSystemSid;
    list.entries.push_back(system);
    return list;
}

void AddEntry(model::ModelPlatform& platform, const ProfileEntry& entry) {
    platform.addKey(kHKeyLocalMachine, std::string(kNameSpaceKey) + "\\" + entry.classId);
    const std::string classPath = std::string(kClassesKey) + "\\" + entry.classId;
    platform.addKey(kHKeyLocalMachine, classPath);
    for (const ProfileVerb& verb : entry.verbs) {
        platform.putString(kHKeyLocalMachine, classPath + "\\shell\\" + verb.name + "\\Command", "",
                           verb.command);
    }
    if (!entry.refuses)
        return;
    for (const std::string& path : ClassKeys(entry))
        platform.setKeyAccessList(kHKeyLocalMachine, path, RefusingList());
}

}  // namespace

void BuildModelWorld(model::ModelPlatform& platform, const Profile& profile) {
    const ModelFolders folders;
    platform.putString(kHKeyCurrentUser, kShellFoldersKey, "Desktop", kDesktop);
    platform.putString(kHKeyCurrentUser, kShellFoldersKey, "AppData", kAppData);
    folders.addTo(platform);

    for (const ProfileLink& link : profile.links) {
        const std::string path = LinkFolderOf(folders.places(), link) + "\\" + link.name;
        platform.addShortcut(path, link.target, link.arguments);
        if (link.refuses)
            platform.setFileAccessList(path, RefusingList());
    }
    platform.addKey(kHKeyLocalMachine, kNameSpaceKey);
    for (const ProfileEntry& entry : profile.entries) AddEntry(platform, entry);
    for (const ProfileValue& value : profile.values) {
        if (value.dword)
            platform.putDword(value.root, value.key, value.name, *value.dword);
        else
            platform.putString(value.root, value.key, value.name, value.text);
    }
    for (const ProfileTask& task : profile.tasks) platform.putTask(task.name, task.xml);
}

}  // namespace brenvik::bench
