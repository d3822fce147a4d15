#include "bench/profile.h"

#include <cstdio>
#include <utility>

#include "tests/support/logon_task.h"

namespace brenvik::bench {
namespace {

constexpr std::size_t kDesktopLinks = 200;
constexpr std::size_t kDesktopSuspect = 20;
constexpr std::size_t kQuickLaunchLinks = 10;
constexpr std::size_t kQuickLaunchSuspect = 3;
constexpr std::size_t kEntries = 50;
constexpr std::size_t kHijackedEntries = 10;
constexpr std::size_t kShellEntries = 40;   // hijacked ones included
constexpr std::size_t kRefusingEvery = 20;  // 5 %
constexpr std::size_t kStartMenuLinks = 300;
constexpr std::size_t kStartMenuFolders = 40;
constexpr std::size_t kStartMenuHijacked = 6;
constexpr std::size_t kPublicDesktopLinks = 10;
constexpr std::size_t kTaskbarLinks = 5;
constexpr std::size_t kStartupLinks = 5;
constexpr std::size_t kHandlers = 50;
constexpr std::size_t kHijackedHandlers = 5;
constexpr std::size_t kStartupValues = 20;
constexpr std::size_t kHijackedStartupValues = 4;
constexpr std::size_t kDebuggerFilters = 10;
constexpr std::size_t kHijackedFilters = 1;
constexpr std::size_t kTasks = 20;
constexpr std::size_t kHijackedTasks = 4;

std::string Numbered(const char* format, std::size_t number) {
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<unsigned long long>(number));
    return text;
}

std::string SiteAddress(std::size_t number) {
    return Numbered("http://www.site%llu.example/", number);
}

// Suspect links alternate between the two spellings the name rule catches, each with its own
// address; the others all carry one address, so only the name tells them apart.
ProfileLink MakeLink(LinkFolder folder, std::size_t number, bool suspect) {
    ProfileLink link;
    link.folder = folder;
    if (!suspect) {
        link.name = Numbered("Report %05llu.lnk", number);
        link.target = "C:\\windows\\notepad.exe";
        link.arguments = "http://www.example.com/";
        return link;
    }
    link.name =
        Numbered(number % 2 ? "IExplorer %05llu.lnk" : "Internet Explorer %05llu.lnk", number);
    link.target = kBrowserPath;
    link.arguments = SiteAddress(number);
    return link;
}

void AddLinks(Profile& profile, LinkFolder folder, std::size_t count, std::size_t suspect) {
    const std::size_t stride = count / suspect;
    std::size_t made = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const bool isSuspect = made < suspect && i % stride == 0;
        profile.links.push_back(MakeLink(folder, i, isSuspect));
        // Only suspect shortcuts are read, so only theirs can refuse the scan.
        profile.links.back().refuses = isSuspect && made % kRefusingEvery == 0;
        made += isSuspect;
    }
    profile.expectedFindings += made;
}

// An application's shortcut, or (hijacked) a Chrome shortcut with a start page appended; the
// name rule of the Internet Explorer scanners takes neither.
ProfileLink MakeAppLink(LinkFolder folder, std::string subfolder, std::size_t number,
                        bool hijacked) {
    ProfileLink link;
    link.folder = folder;
    link.subfolder = std::move(subfolder);
    if (hijacked) {
        link.name = Numbered("Google Chrome %05llu.lnk", number);
        link.target = kChromePath;
        link.arguments = "--profile-directory=Default " + SiteAddress(number);
        return link;
    }
    link.name = Numbered("Application %05llu.lnk", number);
    link.target = "C:\\windows\\notepad.exe";
    return link;
}

// count shortcuts spread over folders subfolders ("" when there are none), hijacked of them
// evenly spaced from the first.
void AddAppLinks(Profile& profile, LinkFolder folder, std::size_t count, std::size_t folders,
                 std::size_t hijacked) {
    const std::size_t stride = hijacked ? count / hijacked : 0;
    std::size_t made = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string subfolder =
            folders ? Numbered("Programs\\App %05llu", i % folders) : std::string();
        const bool isHijacked = made < hijacked && i % stride == 0;
        profile.links.push_back(MakeAppLink(folder, subfolder, i, isHijacked));
        made += isHijacked;
    }
    profile.expectedFindings += made;
}

ProfileEntry MakeEntry(std::size_t number, std::size_t kind) {
    ProfileEntry entry;
    entry.classId = BenchClassId(number);
    if (kind < kHijackedEntries) {
        entry.verbs.push_back({"open", std::string(kBrowserPath) + " " + SiteAddress(number)});
        entry.verbs.push_back({"properties", "rundll32.exe shell32.dll,Control_RunDLL"});
        return entry;
    }
    if (kind < kShellEntries)
        entry.verbs.push_back({"open", "explorer.exe /e," + entry.classId});
    return entry;
}

std::string PlaceFolder(const PlaceFolders& folders, LinkFolder folder) {
    switch (folder) {
        case LinkFolder::Desktop:
            return folders.desktop;
        case LinkFolder::QuickLaunch:
            return folders.quickLaunch;
        case LinkFolder::PublicDesktop:
            return folders.publicDesktop;
        case LinkFolder::Taskbar:
            return folders.quickLaunch + "\\" + kTaskbarSubPath;
        case LinkFolder::StartMenu:
            return folders.startMenu;
        case LinkFolder::Startup:
            return folders.startMenu + "\\" + kStartupSubPath;
    }
    return folders.desktop;
}

// Whether the number-th of count items, hijacked of them evenly spaced from the first, is one.
bool IsHijacked(std::size_t number, std::size_t count, std::size_t hijacked) {
    return number % (count / hijacked) == 0;
}

// ProgIds a browser's Capabilities name, each opening Chrome; the hijacked ones with a start
// page before the placeholder.
void AddHandlers(Profile& profile, std::size_t count, std::size_t hijacked) {
    const std::string chrome = std::string("\"") + kChromePath + "\"";
    profile.values.push_back(
        {kHKeyLocalMachine, std::string(kBenchClientKey) + "\\shell\\open\\command", "", chrome});
    for (std::size_t i = 0; i < count; ++i) {
        const std::string progId = Numbered("BrenvikBench.HTML.%05llu", i);
        profile.values.push_back({kHKeyLocalMachine,
                                  std::string(kBenchClientKey) + "\\Capabilities\\URLAssociations",
                                  Numbered("bench%05llu", i), progId});
        const bool isHijacked = IsHijacked(i, count, hijacked);
        profile.values.push_back(
            {kHKeyCurrentUser,
             std::string(kBenchClassesKey) + "\\" + progId + "\\shell\\open\\command", "",
             chrome + (isHijacked ? " " + SiteAddress(i) : "") + " --single-argument %1"});
        profile.expectedFindings += isHijacked;
    }
    profile.launchItems += count;
}

// Values of the user's Run key: programs of their own, and the hijacked ones opening a site.
void AddStartupValues(Profile& profile, std::size_t count, std::size_t hijacked) {
    for (std::size_t i = 0; i < count; ++i) {
        const bool isHijacked = IsHijacked(i, count, hijacked);
        profile.values.push_back({kHKeyCurrentUser, kBenchRunKey, Numbered("BrenvikBench%05llu", i),
                                  isHijacked
                                      ? "cmd /c start " + SiteAddress(i)
                                      : Numbered("\"C:\\Tools\\tool%llu.exe\" /background", i)});
        profile.expectedFindings += isHijacked;
    }
    profile.launchItems += count;
}

// Filters of chrome.exe's execution options, each for its own copy of Chrome; the hijacked
// ones with a Debugger.
void AddDebuggerFilters(Profile& profile, std::size_t count, std::size_t hijacked) {
    profile.values.push_back({kHKeyLocalMachine, kBenchOptionsKey, kBenchNamePrefix, "", 1u});
    profile.values.push_back({kHKeyLocalMachine, kBenchOptionsKey, "UseFilter", "", 1u});
    for (std::size_t i = 0; i < count; ++i) {
        const std::string filter =
            std::string(kBenchOptionsKey) + Numbered("\\BrenvikBench%05llu", i);
        profile.values.push_back({kHKeyLocalMachine, filter, "FilterFullPath",
                                  Numbered("C:\\Bench\\%llu\\chrome.exe", i)});
        if (!IsHijacked(i, count, hijacked))
            continue;
        profile.values.push_back(
            {kHKeyLocalMachine, filter, "Debugger", "C:\\Bench\\redirect.exe"});
        ++profile.expectedFindings;
    }
    profile.launchItems += count;
}

// Logon tasks running a program of their own, and the hijacked ones opening a site.
void AddTasks(Profile& profile, std::size_t count, std::size_t hijacked) {
    for (std::size_t i = 0; i < count; ++i) {
        const bool isHijacked = IsHijacked(i, count, hijacked);
        profile.tasks.push_back(
            {std::string(kBenchTaskFolder) + Numbered("\\Task %05llu", i),
             isHijacked ? test::LogonTask("cmd.exe", "/c start " + SiteAddress(i))
                        : test::LogonTask(Numbered("C:\\Tools\\tool%llu.exe", i), "/sync")});
        profile.expectedFindings += isHijacked;
    }
    profile.launchItems += count;
}

}  // namespace

std::string LinkFolderPath(const std::string& placeFolder, const std::string& subfolder) {
    return subfolder.empty() ? placeFolder : placeFolder + "\\" + subfolder;
}

std::string LinkFolderOf(const PlaceFolders& folders, const ProfileLink& link) {
    return LinkFolderPath(PlaceFolder(folders, link.folder), link.subfolder);
}

std::string BenchClassId(std::size_t index) {
    return std::string(kBenchClassPrefix) + Numbered("%012llX}", index);
}

bool IsBenchClassId(const std::string& name) {
    return name.compare(0, std::char_traits<char>::length(kBenchClassPrefix), kBenchClassPrefix) ==
           0;
}

std::vector<std::string> ClassKeys(const ProfileEntry& entry) {
    const std::string classPath = std::string(kClassesKey) + "\\" + entry.classId;
    std::vector<std::string> keys{classPath};
    if (entry.verbs.empty())
        return keys;
    keys.push_back(classPath + "\\shell");
    for (const ProfileVerb& verb : entry.verbs) {
        keys.push_back(keys[1] + "\\" + verb.name);
        keys.push_back(keys.back() + "\\Command");
    }
    return keys;
}

Profile MakeProfile(std::size_t scale) {
    Profile profile;
    AddLinks(profile, LinkFolder::Desktop, kDesktopLinks * scale, kDesktopSuspect * scale);
    AddLinks(profile, LinkFolder::QuickLaunch, kQuickLaunchLinks * scale,
             kQuickLaunchSuspect * scale);
    AddAppLinks(profile, LinkFolder::PublicDesktop, kPublicDesktopLinks * scale, 0, scale);
    AddAppLinks(profile, LinkFolder::Taskbar, kTaskbarLinks * scale, 0, scale);
    AddAppLinks(profile, LinkFolder::StartMenu, kStartMenuLinks * scale, kStartMenuFolders * scale,
                kStartMenuHijacked * scale);
    AddAppLinks(profile, LinkFolder::Startup, kStartupLinks * scale, 0, 0);
    for (std::size_t i = 0; i < kEntries * scale; ++i) {
        profile.entries.push_back(MakeEntry(i, i % kEntries));
        // Cycles through every kind of entry: 0, 20, 40, 10, 30 of each fifty.
        profile.entries.back().refuses = i % kRefusingEvery == 0;
        profile.expectedFindings += i % kEntries < kHijackedEntries;
    }
    AddHandlers(profile, kHandlers * scale, kHijackedHandlers * scale);
    AddStartupValues(profile, kStartupValues * scale, kHijackedStartupValues * scale);
    AddDebuggerFilters(profile, kDebuggerFilters * scale, kHijackedFilters * scale);
    AddTasks(profile, kTasks * scale, kHijackedTasks * scale);
    return profile;
}

}  // namespace brenvik::bench
