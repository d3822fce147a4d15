#include "bench/profile.h"

#include <cstdio>

#include "bench/paths.h"

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

}  // namespace

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
    for (std::size_t i = 0; i < kEntries * scale; ++i) {
        profile.entries.push_back(MakeEntry(i, i % kEntries));
        // Cycles through every kind of entry: 0, 20, 40, 10, 30 of each fifty.
        profile.entries.back().refuses = i % kRefusingEvery == 0;
        profile.expectedFindings += i % kEntries < kHijackedEntries;
    }
    return profile;
}

}  // namespace brenvik::bench
