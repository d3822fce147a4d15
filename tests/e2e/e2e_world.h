// A profile with browser hijacks and harmless neighbours for the program to work on, and
// snapshots of the registry and files it may change.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace brenvik::test {

class ScratchFolder;
class ScopedShellFolder;

constexpr char kIExplore[] = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
constexpr char kNameSpaceKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace";
// A fake desktop icon whose verb opens a site, and a genuine one next to it.
constexpr char kFakeClass[] = "{E2E0B2A1-5C3D-4F6E-8A9B-0C1D2E3F4A51}";
constexpr char kGenuineClass[] = "{E2E0B2A1-5C3D-4F6E-8A9B-0C1D2E3F4A52}";
constexpr char kFakeCommand[] =
    "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" http://Fake.Example/NameSpace";

// One registry value as stored: type and exact bytes.
struct RegValue {
    DWORD type;
    std::vector<std::uint8_t> data;
    bool operator==(const RegValue& other) const {
        return type == other.type && data == other.data;
    }
};
// Every key of a tree (relative path, "" for the root, names lowercased) with its values.
using RegTree = std::map<std::string, std::map<std::string, RegValue>>;

// The tree under root\path; empty when the key does not exist.
RegTree ReadTree(HKEY root, const std::string& path);

// Copies root\path away for a scope and puts it back as it was (or removes it if it did not
// exist) at the end.
class ScopedKeyBackup {
public:
    ScopedKeyBackup(HKEY root, std::string path);
    ~ScopedKeyBackup();
    ScopedKeyBackup(const ScopedKeyBackup&) = delete;
    ScopedKeyBackup& operator=(const ScopedKeyBackup&) = delete;

private:
    HKEY m_root;
    std::string m_path;
    std::string m_backupPath;
    bool m_existed = false;
};

// What a harmless object must still be after a scan or a repair.
struct ObjectState {
    bool exists = false;
    DWORD attributes = 0;  // read-only, hidden and system only
    std::string sddl;
    std::string arguments;
    std::string target;
    RegTree tree;
    bool operator==(const ObjectState& other) const {
        return exists == other.exists && attributes == other.attributes && sddl == other.sddl &&
               arguments == other.arguments && target == other.target && tree == other.tree;
    }
};

// Desktop and AppData pointed at scratch folders for the life of the object, with:
// - Desktop: "Internet Explorer.lnk" opening a site (hijack), "Internet Explorer Plain.lnk"
//   without arguments (hidden and system), "Notes.lnk";
// - Quick Launch: "Internet Explorer.lnk" opening a site (hijack), "Show Desktop.lnk";
// - the name space: the fake class with its verb, the genuine one with an ordinary verb.
class HijackedProfile {
public:
    // extraDesktopLinks: that many more argument-less Internet Explorer shortcuts on the
    // Desktop, which make a scan take long enough to watch.
    explicit HijackedProfile(int extraDesktopLinks = 0);
    ~HijackedProfile();
    HijackedProfile(const HijackedProfile&) = delete;
    HijackedProfile& operator=(const HijackedProfile&) = delete;

    bool ok() const { return m_ok; }
    // Points Desktop and AppData at the scratch folders again: Wine's shell writes the
    // standard paths back into Shell Folders when a program starts up.
    bool PointShellFolders() const;
    std::string DesktopHijack() const;
    std::string QuickLaunchHijack() const;
    static std::string FakeEntry();
    static std::string GenuineEntry();

    // The objects that no command may change, by a name for failure messages.
    std::map<std::string, ObjectState> Harmless() const;

private:
    std::unique_ptr<ScratchFolder> m_root;
    std::unique_ptr<ScopedShellFolder> m_desktop;
    std::unique_ptr<ScopedShellFolder> m_appData;
    std::string m_desktopPath;
    std::string m_quickLaunchPath;
    bool m_ok = false;
};

// The host's path of a Windows path in the prefix, through Wine's own export; empty when not
// under Wine.
std::string HostPath(const std::string& path);
// A host path in single quotes for HostShell; the paths of the prefix hold no single quote.
std::string ShellQuoted(const std::string& path);
// Runs a command in the host's shell (Wine starts Unix programs too): what another Unix
// account does, or a link that Windows programs cannot make under Wine. True once it has
// ended with 0; false after ten seconds. Run through /bin/sh: a host program started
// directly from a Wine process left COM broken in that process. The command goes inside
// double quotes: it holds none itself.
bool HostShell(const std::string& command);

// A Unix symbolic link to a folder, made in the prefix: Wine lists it as a folder with
// FILE_ATTRIBUTE_REPARSE_POINT, as Windows lists a junction (Wine 8's CreateSymbolicLinkW
// reports success and makes nothing). Only the link itself is removed at the end.
class FolderLink {
public:
    // link and target are Windows paths; link's folder and target must exist.
    FolderLink(const std::string& link, const std::string& target);
    ~FolderLink();
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

    bool made() const { return !m_unixLink.empty(); }

private:
    std::string m_unixLink;
};

// State of a shortcut file: existence, attributes, access list, arguments and target.
ObjectState FileState(const std::string& path);
// State of a key under HKEY_LOCAL_MACHINE: existence, access list and the whole tree.
ObjectState MachineKeyState(const std::string& path);

}  // namespace brenvik::test
