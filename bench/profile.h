// The benchmark's profiles: shortcuts in every place the scan walks, desktop name space
// entries and the launch vectors' values in a fixed mix, some of them refusing the user,
// scaled as a whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/places/shell_folder.h"  // kShellFoldersKey
#include "engine/ports/registry_port.h"
#include "engine/vectors/name_space_scanner.h"  // kNameSpaceKey

namespace brenvik::bench {

// Every name space entry and class the benchmark makes starts with this text, so that
// cleaning up (and sweeping the leftovers of an interrupted run) never touches anything else.
constexpr const char* kBenchClassPrefix = "{B3E7A000-5EED-4B1C-9A7E-";
// Where the classes are made.
constexpr const char* kClassesKey = "SOFTWARE\\Classes\\CLSID";

// Every key and value the benchmark makes for the launch vectors is named starting with this
// text, or is a key that holds a value of that name (a browser's execution options).
constexpr const char* kBenchNamePrefix = "BrenvikBench";

constexpr const char* kBrowserPath = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
constexpr const char* kChromePath = "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";

enum class LinkFolder { Desktop, QuickLaunch, PublicDesktop, Taskbar, StartMenu, Startup };
// Quick Launch below the roaming application data; the Taskbar below Quick Launch, Startup
// below a Start Menu.
constexpr const char* kQuickLaunchSubPath = "Microsoft\\Internet Explorer\\Quick Launch";
constexpr const char* kTaskbarSubPath = "User Pinned\\TaskBar";
constexpr const char* kStartupSubPath = "Programs\\Startup";

struct ProfileLink {
    LinkFolder folder = LinkFolder::Desktop;
    std::string name;  // file name with ".lnk"
    std::string target;
    std::string arguments;
    bool refuses = false;     // its list grants the administrators nothing
    std::string subfolder{};  // below the place's folder ("Programs\\App 7"), "" for the folder
};

struct ProfileVerb {
    std::string name;
    std::string command;
};

// A name space entry named by its class identifier; the class has a shell key only when it
// has verbs. When it refuses, so do its class key and every key under it.
struct ProfileEntry {
    std::string classId;
    std::vector<ProfileVerb> verbs;
    bool refuses = false;
};

// A value the launch vectors read: a handler's command, a browser's Capabilities and launch
// command, a startup entry, a debugger filter's. Text, unless dword is given.
struct ProfileValue {
    RegKey root = kHKeyCurrentUser;
    std::string key;
    std::string name;  // "" for the default value
    std::string text{};
    std::optional<std::uint32_t> dword{};
};

// A scheduled task by its full name ("\\BrenvikBench\\..."), with its definition.
struct ProfileTask {
    std::string name;
    std::string xml;
};

struct Profile {
    std::vector<ProfileLink> links;
    std::vector<ProfileEntry> entries;
    std::vector<ProfileValue> values;
    std::vector<ProfileTask> tasks;
    std::size_t launchItems = 0;       // handlers, startup values, debugger filters and tasks
    std::size_t expectedFindings = 0;  // suspect shortcuts, verbs that run the browser, hijacks

    // What the scan walks through: listed shortcuts, name space entries and launch items.
    std::size_t items() const { return links.size() + entries.size() + launchItems; }
};

// Scale 1: 200 Desktop shortcuts (20 suspect), 10 Quick Launch shortcuts (3 suspect) and
// 50 name space entries (10 whose class runs the browser, 30 legitimate classes with shell
// verbs, 10 classes without a shell key); a Start Menu of 300 shortcuts in 40 subfolders (6
// of them a Chrome shortcut with a start page appended), 10 on the Public Desktop, 5 pinned to
// the taskbar and 5 in Startup (one hijacked Chrome each but Startup's). Scale n has n times
// as many of each, the Start Menu subfolders included. One suspect
// shortcut in twenty in each folder, and one entry in twenty, refuse the user, counted from
// the first: 5 % from scale 10 on, a little more below (rounded up).
// The launch vectors, scaled alike: 50 handler ProgIds that a browser's Capabilities name (5
// with a start page), 20 startup entries (4 opening an address) and 10 debugger filters of
// chrome.exe (1 with a Debugger), and 20 logon tasks in the benchmark's task folder (4 opening
// an address).
Profile MakeProfile(std::size_t scale);

// Where the launch values go: the browser the benchmark registers, the per-user classes its
// ProgIds go in, the user's startup key and chrome.exe's execution options. The benchmark
// removes its own keys whole and its startup values by name.
constexpr const char* kBenchTaskFolder = "\\BrenvikBench";
constexpr const char* kBenchClientKey = "Software\\Clients\\StartMenuInternet\\BrenvikBench";
constexpr const char* kBenchClassesKey = "Software\\Classes";  // the ProgIds', per user
constexpr const char* kBenchRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kBenchOptionsKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\chrome.exe";

// A link's folder: the place's folder, and its subfolder when it has one.
std::string LinkFolderPath(const std::string& placeFolder, const std::string& subfolder);

// The folders a world makes the places in; the taskbar's and Startup's lie below them.
struct PlaceFolders {
    std::string desktop;
    std::string publicDesktop;
    std::string quickLaunch;
    std::string startMenu;
};

// The folder a link goes in: its place's folder, and its subfolder when it has one.
std::string LinkFolderOf(const PlaceFolders& folders, const ProfileLink& link);

// The class identifier of the benchmark's entry number index.
std::string BenchClassId(std::size_t index);

bool IsBenchClassId(const std::string& name);

// The keys of an entry's class under HKEY_LOCAL_MACHINE, parents before their subkeys: the
// class key, its shell key and each verb's key and command key.
std::vector<std::string> ClassKeys(const ProfileEntry& entry);

}  // namespace brenvik::bench
