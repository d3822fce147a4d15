// brenvik.com under Wine on a machine that another account prepared before it ran: a planted
// journal and backup set in the data folder, a Start Menu folder linked out of the profile,
// report names through links, squatted lock names, a shortcut whose arguments a careless
// repair would turn into a live switch, and a set larger than the store once read. One
// scenario, since each attack must hold while the others are in place, and one check over
// it all: outside what Brenvik repaired and its own data folder, nothing under drive_c and
// no key under HKLM\Software or HKCU changed, and after the restore nothing at all.
//
// Not shown under Wine, and so not checked here: a planted folder's foreign owner (Wine
// stores no owner; every file reads as owned by the process's own user) and a list that
// refuses the administrators (a process running as root is refused nothing). The store's
// model tests cover both; here "others could write it" is an Everyone entry, which Wine
// turns into chmod o+w.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/command_lock.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "tests/cli/com_run.h"
#include "tests/e2e/e2e_world.h"
#include "tests/support/win32_world.h"

namespace brenvik::test {
namespace {

constexpr char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr char kPlantedSet[] = "29991231T235959Z";
// The browser reads one quoted address; a repair that joined the kept spellings would have
// left its stray quotes to open a live --utility-cmd-prefix.
constexpr char kTokenizerAttack[] =
    "http://x.com/\\\"\" a\\\"b --utility-cmd-prefix=C:\\evil.exe \"";
constexpr char kSiteArguments[] = "--profile-directory=Default \"https://hao123.com/?tn=1\"";
constexpr int kRewrittenLinks = 24;
// Kept as hex in one manifest, as the store once kept a file's bytes, more than the 1 MiB it
// once read at most.
constexpr std::size_t kPaddedUrlBytes = 600 * 1024;

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// ---- Snapshots: every file under a folder and every key and value under a few roots, each
// as one line of text by a name, so that two can be compared and every difference named.
// Files and keys carry their access list too: a grant left behind anywhere shows.
using Snapshot = std::map<std::string, std::string>;

// FNV-1a over 8-byte words: fast enough for the prefix's 700 MB, and any change shows.
std::uint64_t HashFile(const std::wstring& path, bool* read) {
    UniqueHfile file(CreateFileW(path.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    *read = static_cast<bool>(file);
    std::uint64_t hash = 14695981039346656037ull;
    if (!file)
        return 0;
    std::vector<std::uint64_t> buffer(1 << 17);
    DWORD got = 0;
    while (
        ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size() * 8), &got, nullptr) &&
        got > 0) {
        // The tail word's unread bytes count as zero.
        const std::size_t words = (got + 7) / 8;
        std::memset(reinterpret_cast<char*>(buffer.data()) + got, 0, words * 8 - got);
        for (std::size_t i = 0; i < words; ++i) hash = (hash ^ buffer[i]) * 1099511628211ull;
        hash = (hash ^ got) * 1099511628211ull;
    }
    return hash;
}

// Wine reports the archive bit on every file whatever was set, so it says nothing.
constexpr DWORD kComparedAttributes = ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE);

// Names are lowercased paths; excluded holds lowercased folders not looked into.
void SnapFiles(const std::string& folder, const std::set<std::string>& excluded,
               Snapshot* snapshot) {
    WIN32_FIND_DATAW data = {};
    UniqueFind find(FindFirstFileExW(Utf8ToWide(folder + "\\*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return;
    do {
        const std::string name = WideToUtf8(data.cFileName);
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "\\" + name;
        const std::string key = "file " + Lower(path);
        if (excluded.count(Lower(path)) != 0)
            continue;
        char line[128];
        const DWORD attributes = data.dwFileAttributes & kComparedAttributes;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::snprintf(line, sizeof line, "folder attributes %08lx",
                          static_cast<unsigned long>(attributes));
            (*snapshot)[key] = line + (" list " + ReadSddl(path, SecurityObjectType::File));
            // A link is named, never followed.
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                SnapFiles(path, excluded, snapshot);
            continue;
        }
        bool read = false;
        const std::uint64_t hash = HashFile(Utf8ToWide(path), &read);
        const ULONGLONG size =
            (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        std::snprintf(line, sizeof line, "size %llu attributes %08lx content %s%016llx",
                      static_cast<unsigned long long>(size), static_cast<unsigned long>(attributes),
                      read ? "" : "unreadable ", static_cast<unsigned long long>(hash));
        (*snapshot)[key] = line + (" list " + ReadSddl(path, SecurityObjectType::File));
    } while (FindNextFileW(find.get(), &data));
}

std::string Hex(const std::vector<std::uint8_t>& data) {
    std::string text;
    char pair[3];
    for (std::size_t i = 0; i < data.size() && i < 48; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", data[i]);
        text += pair;
    }
    if (data.size() > 48)
        text += "...";
    return text;
}

void SnapKeys(HKEY root, const std::string& rootName, const std::string& path, Snapshot* snapshot) {
    for (const auto& [relative, values] : ReadTree(root, path)) {
        const std::string key = "key " + rootName + (relative.empty() ? "" : "\\" + relative);
        const std::string full = relative.empty() ? path
                                 : path.empty()   ? relative
                                                  : path + "\\" + relative;
        std::string object = RegistryObjectName(root, full);
        if (object.back() == '\\')
            object.pop_back();
        (*snapshot)[key] = "key list " + ReadSddl(object, SecurityObjectType::RegistryKey);
        for (const auto& [name, value] : values) {
            std::uint64_t hash = 14695981039346656037ull;
            for (std::uint8_t byte : value.data) hash = (hash ^ byte) * 1099511628211ull;
            char line[64];
            std::snprintf(line, sizeof line, "type %lu, %zu bytes %016llx ",
                          static_cast<unsigned long>(value.type), value.data.size(),
                          static_cast<unsigned long long>(hash));
            (*snapshot)[key + " [" + name + "]"] = line + Hex(value.data);
        }
    }
}

// Every line that differs, as "+ name: now", "- name: before" or "~ name: before -> now",
// leaving out the names skip accepts.
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after,
                                     const std::function<bool(const std::string&)>& skip) {
    std::vector<std::string> lines;
    for (const auto& [name, was] : before) {
        if (skip(name))
            continue;
        const auto now = after.find(name);
        if (now == after.end())
            lines.push_back("- " + name + ": " + was);
        else if (now->second != was)
            lines.push_back("~ " + name + ": " + was + " -> " + now->second);
    }
    for (const auto& [name, now] : after) {
        if (!skip(name) && before.count(name) == 0)
            lines.push_back("+ " + name + ": " + now);
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// Everything: drive_c without the excluded folders, HKLM\Software and HKCU.
Snapshot Snap(const std::set<std::string>& excluded) {
    Snapshot snapshot;
    SnapFiles("C:", excluded, &snapshot);
    SnapKeys(HKEY_LOCAL_MACHINE, "hklm\\software", "Software", &snapshot);
    SnapKeys(HKEY_CURRENT_USER, "hkcu", "", &snapshot);
    return snapshot;
}

// ---- The planted objects.

// A list that lets every account change the object; Wine turns it into chmod o+w.
constexpr char kEveryoneWrites[] = "D:(A;OICI;FA;;;WD)(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

// Set after the folder is made: Wine applies no list given to CreateDirectoryW.
bool MakeFolderOthersWrite(const std::string& path) {
    return CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) &&
           WriteSddl(path, SecurityObjectType::File, kEveryoneWrites) == ERROR_SUCCESS;
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(Utf8ToWide(path).c_str(), std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

// The names in folder that start with prefix.
std::set<std::string> NamesLike(const std::string& folder, const std::string& prefix) {
    std::set<std::string> names;
    WIN32_FIND_DATAW data = {};
    UniqueFind find(FindFirstFileW(Utf8ToWide(folder + "\\" + prefix + "*").c_str(), &data));
    if (!find)
        return names;
    do names.insert(WideToUtf8(data.cFileName));
    while (FindNextFileW(find.get(), &data));
    return names;
}

// A store folder of the data folder set aside for the test, so that what others plant
// there is all it holds: what was there before is put back at the end, and what the test or
// Brenvik made under the name, or moved aside from it, is removed.
class StoreFolderSwap {
public:
    StoreFolderSwap(std::string dataFolder, std::string name)
        : m_data(std::move(dataFolder)),
          m_name(std::move(name)),
          m_kept(m_data + "\\" + UniqueName((m_name + ".kept").c_str())),
          m_asideBefore(NamesLike(m_data, m_name + ".untrusted-")) {
        const std::wstring current = Utf8ToWide(path());
        m_ok = GetFileAttributesW(current.c_str()) == INVALID_FILE_ATTRIBUTES ||
               MoveFileW(current.c_str(), Utf8ToWide(m_kept).c_str());
        m_moved = m_ok && GetFileAttributesW(Utf8ToWide(m_kept).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    ~StoreFolderSwap() {
        RemoveTree(path());
        for (const std::string& aside : movedAside()) RemoveTree(m_data + "\\" + aside);
        if (m_moved)
            MoveFileW(Utf8ToWide(m_kept).c_str(), Utf8ToWide(path()).c_str());
    }
    StoreFolderSwap(const StoreFolderSwap&) = delete;
    StoreFolderSwap& operator=(const StoreFolderSwap&) = delete;

    bool ok() const { return m_ok; }
    std::string path() const { return m_data + "\\" + m_name; }
    // What Brenvik moved aside from the name since the test began.
    std::vector<std::string> movedAside() const {
        std::vector<std::string> made;
        for (const std::string& name : NamesLike(m_data, m_name + ".untrusted-")) {
            if (m_asideBefore.count(name) == 0)
                made.push_back(name);
        }
        return made;
    }

private:
    std::string m_data;
    std::string m_name;
    std::string m_kept;
    std::set<std::string> m_asideBefore;
    bool m_ok = false;
    bool m_moved = false;
};

// A backups folder every account may write, with a set newer than any Brenvik wrote. Never
// read, so its files need not parse: a folder others could write is moved aside unread.
bool PlantBackups(const std::string& folder) {
    return MakeFolderOthersWrite(folder) && MakeFolders(folder + "\\" + kPlantedSet) &&
           WriteText(folder + "\\" + kPlantedSet + ".set", "planted") &&
           WriteText(folder + "\\" + kPlantedSet + "\\manifest", "planted");
}

// A journal entry that would give Everyone full control of a machine key, in the journal's
// own words: applied, it would hand the key to every account.
std::string PlantedJournalEntry() {
    return "brenvik journal 1\ntype key\nobject MACHINE\\" + std::string(kAppPaths) +
           "\nattributes ffffffff\nlist D:(A;OICI;0xf003f;;;S-1-1-0)\nend\n";
}

class HostileMachine : public ::testing::Test {
protected:
    void SetUp() override {
        m_data = KnownFolder(FOLDERID_ProgramData) + "\\Brenvik";
        m_desktop = KnownFolder(FOLDERID_Desktop);
        m_startMenu = KnownFolder(FOLDERID_StartMenu);
        ASSERT_FALSE(m_desktop.empty());
        ASSERT_FALSE(m_startMenu.empty());
        { CommandLock secured(0); }  // the data folder and its lock folder exist, secured
        m_thirdLockExisted = GetFileAttributesW(LockPath(2).c_str()) != INVALID_FILE_ATTRIBUTES;
        m_volatile = WineVolatile();
    }

    void TearDown() override {
        for (const std::string& path : m_made) {
            SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Utf8ToWide(path).c_str());
        }
        RemoveDirectoryW(CommandLock::FirstLockPath().c_str());
        DeleteFileW(LockPath(1).c_str());
        // The name Brenvik took while the first two were squatted.
        if (!m_thirdLockExisted)
            DeleteFileW(LockPath(2).c_str());
    }

    // The lock file's name after n names passed over: "command.<n>.lock".
    static std::wstring LockPath(int n) {
        std::wstring path = CommandLock::FirstLockPath();
        return path.replace(path.size() - 5, 5, L"." + std::to_wstring(n) + L".lock");
    }

    ComRun Com(const std::string& arguments) {
        return RunCom(arguments, m_scratch.path() + "\\out" + std::to_string(++m_runs) + ".txt");
    }
    std::string Scratch(const std::string& name) const { return m_scratch.path() + "\\" + name; }

    // Neither Brenvik nor an attacker: the folders whose changes the check leaves out.
    std::set<std::string> Excluded() const { return {Lower(m_data), Lower(m_scratch.path())}; }

    // What Wine itself changes whenever a program starts, found as what differs around a run
    // of brenvik.com that only prints its usage, and left out of every comparison. On this
    // Wine 8 prefix nothing differs: the Shell Folders values Wine writes at each start are
    // written with the text they already had, and no file under drive_c changes. Each name
    // left out is printed.
    std::set<std::string> WineVolatile() {
        const Snapshot before = Snap(Excluded());
        const ComRun usage = Com("/?");
        EXPECT_EQ(3u, usage.code) << usage.output;
        const Snapshot after = Snap(Excluded());
        std::printf("snapshot: %zu files, folders, keys and values\n", before.size());
        std::set<std::string> names;
        for (const std::string& line :
             Differences(before, after, [](const std::string&) { return false; })) {
            const std::size_t colon = line.find(": ");
            names.insert(line.substr(2, colon - 2));
            std::printf("changed by Wine at a start, left out: %s\n",
                        line.substr(2, colon - 2).c_str());
        }
        return names;
    }

    // A shortcut to the browser with arguments, removed at the end.
    bool Link(const std::string& path, const std::string& arguments) {
        m_made.push_back(path);
        return SUCCEEDED(CreateShortcut(path, m_chrome, arguments));
    }

    ScratchFolder m_scratch;
    // Outside the profile and not left out of the check: the browser, the folder the Start
    // Menu link leads to and what the report links point at.
    ScratchFolder m_outside{"C:"};
    std::string m_chrome = m_outside.path() + "\\chrome.exe";
    std::string m_data;
    std::string m_desktop;
    std::string m_startMenu;
    std::set<std::string> m_volatile;
    std::vector<std::string> m_made;
    bool m_thirdLockExisted = false;
    int m_runs = 0;
};

TEST_F(HostileMachine, NothingOthersPreparedTurnsTheRunAgainstTheMachine) {
    ASSERT_TRUE(MakeFile(m_chrome));

    // The store: a journal and a backups folder that every account may write, holding an
    // entry that would give Everyone a machine key and a set newer than any Brenvik wrote.
    StoreFolderSwap journal(m_data, "Journal");
    StoreFolderSwap backups(m_data, "Backups");
    ASSERT_TRUE(journal.ok() && backups.ok());
    ASSERT_TRUE(MakeFolderOthersWrite(journal.path()));
    ASSERT_TRUE(WriteText(journal.path() + "\\0000000000000001.journal", PlantedJournalEntry()));
    ASSERT_TRUE(PlantBackups(backups.path()));
    const std::string appPathsList = ReadSddl(RegistryObjectName(HKEY_LOCAL_MACHINE, kAppPaths),
                                              SecurityObjectType::RegistryKey);
    ASSERT_FALSE(appPathsList.empty());

    // The lock's names: a folder every account may change where the first lock file goes,
    // and a second name of a file outside where the next one goes.
    const std::wstring firstLock = CommandLock::FirstLockPath();
    DeleteFileW(firstLock.c_str());
    DeleteFileW(LockPath(1).c_str());
    ASSERT_TRUE(MakeFolderOthersWrite(WideToUtf8(firstLock)));
    const std::string lockTarget = m_outside.path() + "\\lock-target.txt";
    ASSERT_TRUE(WriteText(lockTarget, "not a lock"));
    ASSERT_TRUE(CreateHardLinkW(LockPath(1).c_str(), Utf8ToWide(lockTarget).c_str(), nullptr));

    // A Start Menu folder linked to a folder outside the profile with a hijacked shortcut.
    const std::string elsewhere = m_outside.path() + "\\elsewhere";
    ASSERT_TRUE(MakeFolders(elsewhere));
    ASSERT_TRUE(SUCCEEDED(CreateShortcut(elsewhere + "\\Google Chrome.lnk", m_chrome,
                                         "http://hijack.example/outside")));
    const std::string startMenuLink = m_startMenu + "\\Linked Programs";
    const FolderLink linked(startMenuLink, elsewhere);
    ASSERT_TRUE(linked.made());

    // Report names through a linked folder and a file that is a link, both to what must stay.
    const std::string reports = m_outside.path() + "\\reports";
    ASSERT_TRUE(MakeFolders(reports));
    ASSERT_TRUE(WriteText(reports + "\\kept.json", "kept"));
    // A link to a file is made the same way as one to a folder.
    const FolderLink linkedFolder(Scratch("linked"), reports);
    const FolderLink linkedFile(Scratch("linked.json"), reports + "\\kept.json");
    ASSERT_TRUE(linkedFolder.made() && linkedFile.made());

    // On the Desktop: the tokenizer attack, shortcuts whose site a Fix rewrites away, and one
    // Internet shortcut named like the browser padded to 600 KB.
    const std::string attack = m_desktop + "\\Google Chrome.lnk";
    ASSERT_TRUE(Link(attack, kTokenizerAttack));
    for (int i = 0; i < kRewrittenLinks; ++i)
        ASSERT_TRUE(
            Link(m_desktop + "\\Google Chrome " + std::to_string(i) + ".lnk", kSiteArguments));
    const std::string padded = m_desktop + "\\Google Chrome.url";
    m_made.push_back(padded);
    const std::string paddedText = "[InternetShortcut]\r\nURL=http://fake.example/chrome\r\n" +
                                   std::string(kPaddedUrlBytes, ';');
    ASSERT_TRUE(WriteText(padded, paddedText));

    const auto skip = [this](const std::string& name) { return m_volatile.count(name) != 0; };
    const Snapshot before = Snap(Excluded());

    // The first command after the planting: the journal is moved aside unapplied, and so is
    // the backups folder; "last" is never the planted set.
    const ComRun last = Com("/restore last");
    EXPECT_EQ(2u, last.code) << last.output;
    EXPECT_TRUE(Contains(last.output, "backup folder not trusted")) << last.output;
    EXPECT_EQ(appPathsList, ReadSddl(RegistryObjectName(HKEY_LOCAL_MACHINE, kAppPaths),
                                     SecurityObjectType::RegistryKey))
        << "the planted journal entry was applied";
    ASSERT_EQ(1u, journal.movedAside().size());
    EXPECT_EQ(PlantedJournalEntry(),
              ReadAll(m_data + "\\" + journal.movedAside()[0] + "\\0000000000000001.journal"));
    ASSERT_EQ(1u, backups.movedAside().size());
    EXPECT_EQ("planted",
              ReadAll(m_data + "\\" + backups.movedAside()[0] + "\\" + kPlantedSet + ".set"));
    // Planted again in place of the fresh folder that command made: the listing names what
    // it moved aside, as damaged.
    ASSERT_TRUE(RemoveTree(backups.path()));
    ASSERT_TRUE(PlantBackups(backups.path()));
    const ComRun listed = Com("/backups");
    EXPECT_EQ(0u, listed.code) << listed.output;
    EXPECT_EQ(std::string(kPlantedSet) + "  damaged: backup folder not trusted, moved aside\n",
              listed.output);
    EXPECT_EQ(2u, backups.movedAside().size());
    // The lock names others took are passed over, and kept as they were.
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(firstLock.c_str()));
    EXPECT_EQ("not a lock", ReadAll(lockTarget));

    // Reports through links are refused, and what they lead to is untouched.
    struct Refused {
        std::string report;
        const char* why;
    };
    std::vector<Refused> refused = {{Scratch("linked\\scan.json"), "its folder is a link"}};
    // Wine 8 shows a Unix link to a file as the file itself, no reparse point: brenvik.com
    // could not tell it from a plain file there and would write through it, so that case is
    // left to Windows, where such a link is a reparse point that the report never opens.
    if (GetFileAttributesW(Utf8ToWide(Scratch("linked.json")).c_str()) &
        FILE_ATTRIBUTE_REPARSE_POINT)
        refused.push_back({Scratch("linked.json"), "it is a link"});
    else
        std::printf("not shown: a report named by a link to a file (Wine shows no link)\n");
    for (const Refused& c : refused) {
        const ComRun run = Com("/scan /report \"" + c.report + "\"");
        EXPECT_EQ(3u, run.code) << c.report << "\n" << run.output;
        EXPECT_TRUE(Contains(run.output, c.why)) << run.output;
    }
    EXPECT_EQ("kept", ReadAll(reports + "\\kept.json"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW(Utf8ToWide(reports + "\\scan.json").c_str()));

    // The scan: everything on the Desktop found, the linked folder skipped, exit 2.
    const ComRun scan = Com("/scan /report \"" + Scratch("scan.json") + "\"");
    EXPECT_EQ(2u, scan.code) << scan.output;
    const auto scanned = ReadJson(Scratch("scan.json"));
    ASSERT_FALSE(scanned.is_discarded()) << scan.output;
    EXPECT_EQ(kRewrittenLinks + 2, scanned["summary"]["found"]) << scan.output;
    EXPECT_EQ(1, scanned["summary"]["skipped"]) << scan.output;
    EXPECT_TRUE(Contains(scan.output,
                         "skipped   Start Menu  " + startMenuLink + "  (junction not followed)"))
        << scan.output;
    const std::vector<std::string> scanChanged = Differences(before, Snap(Excluded()), skip);
    EXPECT_TRUE(scanChanged.empty()) << "a scan changed:\n" << Joined(scanChanged);

    // The fix: the same rows repaired, the linked folder still skipped, exit 2.
    const ComRun fix = Com("/fix /report \"" + Scratch("fix.json") + "\"");
    EXPECT_EQ(2u, fix.code) << fix.output;
    const auto fixed = ReadJson(Scratch("fix.json"));
    ASSERT_FALSE(fixed.is_discarded()) << fix.output;
    ASSERT_TRUE(fixed["backup"].is_string()) << fix.output;
    const std::string id = fixed["backup"].get<std::string>();
    EXPECT_NE(kPlantedSet, id);
    std::set<std::string> repaired;
    std::map<std::string, std::string> results;
    for (const auto& finding : fixed["findings"]) {
        const std::string path = finding["path"].get<std::string>();
        results[path] = finding["result"].get<std::string>();
        if (finding["result"] == "fixed")
            repaired.insert("file " + Lower(path));
    }
    EXPECT_EQ(kRewrittenLinks + 2u, repaired.size()) << fix.output;
    EXPECT_EQ("skipped", results[startMenuLink]);
    EXPECT_EQ("fixed", results[padded]);
    EXPECT_FALSE(FileState(padded).exists);
    // The attack's address goes, and with it the stray quotes: nothing is left that the
    // browser would read as a switch.
    EXPECT_EQ("fixed", results[attack]) << fix.output;
    EXPECT_EQ("", FileState(attack).arguments);
    EXPECT_EQ("--profile-directory=Default",
              FileState(m_desktop + "\\Google Chrome 7.lnk").arguments);
    const std::vector<std::string> changed = Differences(
        before, Snap(Excluded()),
        [&](const std::string& name) { return skip(name) || repaired.count(name) != 0; });
    EXPECT_TRUE(changed.empty()) << "changed besides what was repaired:\n" << Joined(changed);

    // The listing holds the fix's set alone, and the planted one no more.
    const ComRun sets = Com("/backups");
    EXPECT_EQ(0u, sets.code) << sets.output;
    EXPECT_EQ(0u, sets.output.rfind(id + "  fix  ")) << sets.output;
    EXPECT_TRUE(Contains(sets.output, std::to_string(kRewrittenLinks + 2) + " objects, 0 failed\n"))
        << sets.output;
    EXPECT_FALSE(Contains(sets.output, kPlantedSet)) << sets.output;

    // The restore by id: everything back as it was, the 600 KB shortcut byte for byte.
    const ComRun restore = Com("/restore " + id);
    EXPECT_EQ(1u, restore.code) << restore.output;
    EXPECT_TRUE(Contains(restore.output,
                         std::to_string(kRewrittenLinks + 2) + " restored, 0 conflicts, 0 failed"))
        << restore.output;
    EXPECT_EQ(paddedText, ReadAll(padded));
    EXPECT_EQ(kTokenizerAttack, FileState(attack).arguments);
    const std::vector<std::string> left = Differences(before, Snap(Excluded()), skip);
    EXPECT_TRUE(left.empty()) << "not as before the fix:\n" << Joined(left);

    EXPECT_EQ(appPathsList, ReadSddl(RegistryObjectName(HKEY_LOCAL_MACHINE, kAppPaths),
                                     SecurityObjectType::RegistryKey));
    EXPECT_EQ("not a lock", ReadAll(lockTarget));
}

}  // namespace
}  // namespace brenvik::test
