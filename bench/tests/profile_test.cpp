// The profiles hold what the figures claim, at every scale.
#include <gtest/gtest.h>

#include <set>

#include "bench/profile.h"
#include "engine/base/text_rules.h"
#include "engine/vectors/link_scanners.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik::bench {
namespace {

struct Shape {
    std::size_t desktop = 0, desktopSuspect = 0, quickLaunch = 0, quickLaunchSuspect = 0;
    std::size_t entries = 0, browserVerbs = 0, withoutShell = 0;
    std::size_t refusingLinks = 0, refusingEntries = 0, refusingHijacks = 0;
    bool refusingOrdinaryLink = false;
    std::size_t publicDesktop = 0, taskbar = 0, startMenu = 0, startup = 0;
    std::set<std::string> startMenuFolders;
    std::size_t browserHijacks = 0;  // browser shortcuts with a start page appended
};

void CountPlace(const ProfileLink& link, Shape& shape) {
    shape.browserHijacks += link.target == kChromePath && !link.arguments.empty();
    switch (link.folder) {
        case LinkFolder::PublicDesktop:
            ++shape.publicDesktop;
            return;
        case LinkFolder::Taskbar:
            ++shape.taskbar;
            return;
        case LinkFolder::StartMenu:
            ++shape.startMenu;
            shape.startMenuFolders.insert(link.subfolder);
            return;
        case LinkFolder::Startup:
            ++shape.startup;
            return;
        default:
            return;
    }
}

Shape ShapeOf(const Profile& profile) {
    Shape shape;
    for (const ProfileLink& link : profile.links) {
        CountPlace(link, shape);
        if (link.folder != LinkFolder::Desktop && link.folder != LinkFolder::QuickLaunch)
            continue;
        std::string name = link.name;
        LowercaseAscii(name);
        const bool suspect = IsSuspectLinkName(name) && !link.arguments.empty();
        const bool onDesktop = link.folder == LinkFolder::Desktop;
        (onDesktop ? shape.desktop : shape.quickLaunch) += 1;
        (onDesktop ? shape.desktopSuspect : shape.quickLaunchSuspect) += suspect;
        shape.refusingLinks += link.refuses;
        shape.refusingOrdinaryLink |= link.refuses && !suspect;
    }
    for (const ProfileEntry& entry : profile.entries) {
        ++shape.entries;
        shape.withoutShell += entry.verbs.empty();
        shape.refusingEntries += entry.refuses;
        bool hijacked = false;
        for (const ProfileVerb& verb : entry.verbs) {
            std::string site;
            const bool runsBrowser = SiteFromCommand(verb.command, site) && !site.empty();
            shape.browserVerbs += runsBrowser;
            hijacked |= runsBrowser;
        }
        shape.refusingHijacks += entry.refuses && hijacked;
    }
    return shape;
}

TEST(BenchProfile, ScalesEveryKindOfItemTogether) {
    // One in twenty, rounded up: per folder for the suspect shortcuts, over all entries.
    const struct {
        std::size_t scale, refusingLinks, refusingEntries, refusingHijacks;
    } cases[] = {{1, 1 + 1, 3, 1}, {3, 3 + 1, 8, 2}, {10, 10 + 2, 25, 5}, {100, 100 + 15, 250, 50}};
    for (const auto& c : cases) {
        const std::size_t scale = c.scale;
        SCOPED_TRACE(scale);
        const Profile profile = MakeProfile(scale);
        const Shape shape = ShapeOf(profile);
        EXPECT_EQ(shape.desktop, 200 * scale);
        EXPECT_EQ(shape.desktopSuspect, 20 * scale);
        EXPECT_EQ(shape.quickLaunch, 10 * scale);
        EXPECT_EQ(shape.quickLaunchSuspect, 3 * scale);
        EXPECT_EQ(shape.entries, 50 * scale);
        EXPECT_EQ(shape.browserVerbs, 10 * scale);
        EXPECT_EQ(shape.withoutShell, 10 * scale);
        EXPECT_EQ(shape.publicDesktop, 10 * scale);
        EXPECT_EQ(shape.taskbar, 5 * scale);
        EXPECT_EQ(shape.startMenu, 300 * scale);
        EXPECT_EQ(shape.startMenuFolders.size(), 40 * scale);
        EXPECT_EQ(shape.startup, 5 * scale);
        EXPECT_EQ(shape.browserHijacks, 8 * scale);  // 6 in the Start Menu, 1 Public, 1 pinned
        // 5 handlers, 4 startup values, 1 debugger filter and 4 tasks hijacked of 100 launch
        // items.
        EXPECT_EQ(profile.expectedFindings, (33 + 8 + 14) * scale);
        EXPECT_EQ(profile.items(), (580 + 100) * scale);
        // Only shortcuts the scan reads can refuse it; refusing hijacks must still be found.
        EXPECT_EQ(shape.refusingLinks, c.refusingLinks);
        EXPECT_FALSE(shape.refusingOrdinaryLink);
        EXPECT_EQ(shape.refusingEntries, c.refusingEntries);
        EXPECT_EQ(shape.refusingHijacks, c.refusingHijacks);
    }
}

TEST(BenchProfile, ClassKeysListParentsBeforeTheirSubkeys) {
    const std::string classKey = std::string("SOFTWARE\\Classes\\CLSID\\") + BenchClassId(7);
    const struct {
        std::vector<ProfileVerb> verbs;
        std::vector<std::string> keys;
    } cases[] = {
        {{}, {classKey}},
        {{{"open", "a"}, {"print", "b"}},
         {classKey, classKey + "\\shell", classKey + "\\shell\\open",
          classKey + "\\shell\\open\\Command", classKey + "\\shell\\print",
          classKey + "\\shell\\print\\Command"}},
    };
    for (const auto& c : cases) {
        ProfileEntry entry;
        entry.classId = BenchClassId(7);
        entry.verbs = c.verbs;
        EXPECT_EQ(ClassKeys(entry), c.keys);
    }
}

// The scan looks only at names it can take a class identifier from, and cleanup deletes
// only names with the prefix: every entry must be both, and names must not collide.
TEST(BenchProfile, ClassIdentifiersAreDistinctAndRecognised) {
    const Profile profile = MakeProfile(100);
    std::set<std::string> seen;
    for (const ProfileEntry& entry : profile.entries) {
        EXPECT_EQ(ClassIdentifierOf(entry.classId), entry.classId);
        EXPECT_TRUE(IsBenchClassId(entry.classId)) << entry.classId;
        EXPECT_TRUE(seen.insert(entry.classId).second) << entry.classId;
    }
    // Within one folder; the places reuse each other's numbering.
    std::set<std::string> paths;
    for (const ProfileLink& link : profile.links) {
        const std::string folder = std::to_string(static_cast<int>(link.folder));
        EXPECT_TRUE(paths.insert(LinkFolderPath(folder, link.subfolder) + "\\" + link.name).second)
            << link.name;
    }
}

TEST(BenchProfile, ForeignClassIdentifiersAreNotTheBenchmarks) {
    for (const char* name : {"{B3E7A001-5EED-4B1C-9A7E-000000000000}",
                             "{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "", "{B3E7A000"}) {
        EXPECT_FALSE(IsBenchClassId(name)) << name;
    }
}

}  // namespace
}  // namespace brenvik::bench
