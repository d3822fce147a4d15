#include "bench/model_world.h"

#include "bench/paths.h"

namespace brenvik::bench {
namespace {

constexpr const char* kDesktop = "C:\\Users\\bench\\Desktop";
constexpr const char* kAppData = "C:\\Users\\bench\\AppData\\Roaming";

}  // namespace

void BuildModelWorld(model::ModelPlatform& platform, const Profile& profile) {
    const std::string quickLaunch = std::string(kAppData) + "\\" + kQuickLaunchSubPath;
    platform.putString(kHKeyCurrentUser, kShellFoldersKey, "Desktop", kDesktop);
    platform.putString(kHKeyCurrentUser, kShellFoldersKey, "AppData", kAppData);
    platform.addFolder(kDesktop);
    platform.addFolder(quickLaunch);

    for (const ProfileLink& link : profile.links) {
        const std::string folder = link.folder == LinkFolder::Desktop ? kDesktop : quickLaunch;
        platform.addShortcut(folder + "\\" + link.name, link.target, link.arguments);
    }
    platform.addKey(kHKeyLocalMachine, kNameSpaceKey);
    for (const ProfileEntry& entry : profile.entries) {
        platform.addKey(kHKeyLocalMachine, std::string(kNameSpaceKey) + "\\" + entry.classId);
        const std::string classPath = std::string(kClassesKey) + "\\" + entry.classId;
        platform.addKey(kHKeyLocalMachine, classPath);
        for (const ProfileVerb& verb : entry.verbs) {
            platform.putString(kHKeyLocalMachine, classPath + "\\shell\\" + verb.name + "\\Command",
                               "", verb.command);
        }
    }
}

}  // namespace brenvik::bench
