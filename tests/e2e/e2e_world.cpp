#include "e2e_world.h"
#include "tests/support/shortcut_calls.h"

#include <utility>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/win32_world.h"

namespace brenvik::test {

namespace {

constexpr char kClassesKey[] = "SOFTWARE\\Classes\\CLSID\\";
constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kBackupKey[] = "Software\\BrenvikE2eBackup\\";
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::string Lowercase(std::string text) {
    // The names compared here are ASCII.
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

void ReadTreeInto(HKEY hKey, const std::string& relative, RegTree& tree) {
    DWORD maxName = 0;
    DWORD maxData = 0;
    DWORD subkeys = 0;
    if (RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                         &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS) {
        return;
    }
    auto& values = tree[Lowercase(relative)];
    for (DWORD index = 0;; ++index) {
        std::string name(maxName + 1, '\0');
        std::vector<std::uint8_t> data(maxData + 1);
        DWORD nameSize = maxName + 1;
        DWORD dataSize = maxData + 1;
        DWORD type = REG_NONE;
        if (RegEnumValueA(hKey, index, &name[0], &nameSize, nullptr, &type, data.data(),
                          &dataSize) != ERROR_SUCCESS) {
            break;
        }
        name.resize(nameSize);
        data.resize(dataSize);
        values[Lowercase(name)] = RegValue{type, data};
    }
    for (DWORD index = 0; index < subkeys; ++index) {
        char name[256] = {};
        DWORD nameSize = sizeof(name);
        if (RegEnumKeyExA(hKey, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        UniqueHkey child;
        if (RegOpenKeyExA(hKey, name, 0, KEY_READ, child.put()) == ERROR_SUCCESS) {
            ReadTreeInto(child.get(), relative.empty() ? name : relative + "\\" + name, tree);
        }
    }
}

bool SetNamedText(HKEY root, const std::string& path, const char* name, const char* text) {
    UniqueHkey key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text) + 1)) == ERROR_SUCCESS;
}

bool SetText(HKEY root, const std::string& path, const char* text) {
    return SetNamedText(root, path, "", text);
}

bool RegisterEntry(const char* classId, const char* title, const char* command) {
    return SetText(HKEY_LOCAL_MACHINE, std::string(kNameSpaceKey) + "\\" + classId, title) &&
           SetText(HKEY_LOCAL_MACHINE,
                   std::string(kClassesKey) + classId + "\\shell\\open\\Command", command);
}

void RemoveEntries() {
    for (const char* classId : {kFakeClass, kGenuineClass}) {
        DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, std::string(kNameSpaceKey) + "\\" + classId);
        DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, std::string(kClassesKey) + classId);
    }
}

}  // namespace

std::string ShellQuoted(const std::string& path) {
    return "'" + path + "'";
}

std::string HostPath(const std::string& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName != nullptr ? unixName(Utf8ToWide(path).c_str()) : nullptr;
    const std::string host = name != nullptr ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return host;
}

bool HostShell(const std::string& command) {
    // Wine gives no handle to a host process it starts, so the shell leaves a file of its own
    // name behind when the command succeeded, and the wait is for that file.
    ScratchFolder done;
    const std::string marker = done.path() + "\\done";
    const std::string hostMarker = HostPath(done.path());
    if (hostMarker.empty())
        return false;
    std::wstring line = L"/bin/sh -c \"(" + Utf8ToWide(command) + L") && touch " +
                        Utf8ToWide(ShellQuoted(hostMarker + "/done")) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    UniqueHandle thread(process.hThread);
    UniqueHandle shell(process.hProcess);
    // Up to a minute: a loaded machine has taken over ten seconds to start a host shell.
    for (int i = 0; i < 1200; ++i) {
        if (GetFileAttributesW(Utf8ToWide(marker).c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

FolderLink::FolderLink(const std::string& link, const std::string& target) {
    const std::string folder = HostPath(link.substr(0, link.rfind('\\')));
    const std::string to = HostPath(target);
    if (folder.empty() || to.empty())
        return;
    m_unixLink = folder + "/" + link.substr(link.rfind('\\') + 1);
    // -fn: a link a run that died left at the name is replaced, never followed into.
    if (!HostShell("ln -sfn " + ShellQuoted(to) + " " + ShellQuoted(m_unixLink)))
        m_unixLink.clear();
}

FolderLink::~FolderLink() {
    if (!m_unixLink.empty())
        HostShell("rm -f " + ShellQuoted(m_unixLink));
}

RegTree ReadTree(HKEY root, const std::string& path) {
    RegTree tree;
    UniqueHkey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS) {
        ReadTreeInto(key.get(), "", tree);
    }
    return tree;
}

ScopedKeyBackup::ScopedKeyBackup(HKEY root, std::string path)
    : m_root(root), m_path(std::move(path)), m_backupPath(kBackupKey + UniqueName("key")) {
    UniqueHkey source;
    if (RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_READ, source.put()) != ERROR_SUCCESS) {
        return;
    }
    UniqueHkey backup;
    m_existed = RegCreateKeyExA(HKEY_CURRENT_USER, m_backupPath.c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, backup.put(), nullptr) == ERROR_SUCCESS &&
                RegCopyTreeA(source.get(), nullptr, backup.get()) == ERROR_SUCCESS;
}

ScopedKeyBackup::~ScopedKeyBackup() {
    DeleteKeyTreeForcibly(m_root, m_path);
    if (m_existed) {
        UniqueHkey backup;
        UniqueHkey target;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, m_backupPath.c_str(), 0, KEY_READ, backup.put()) ==
                ERROR_SUCCESS &&
            RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            target.put(), nullptr) == ERROR_SUCCESS) {
            RegCopyTreeA(backup.get(), nullptr, target.get());
        }
    }
    DeleteKeyTreeForcibly(HKEY_CURRENT_USER, m_backupPath);
}

HijackedProfile::HijackedProfile(int extraDesktopLinks) : m_root(new ScratchFolder()) {
    m_desktopPath = m_root->path() + "\\Desktop";
    const std::string appData = m_root->path() + "\\AppData";
    m_quickLaunchPath = appData + "\\Microsoft\\Internet Explorer\\Quick Launch";
    if (!MakeFolders(m_desktopPath) || !MakeFolders(m_quickLaunchPath)) {
        return;
    }
    m_desktop.reset(new ScopedShellFolder("Desktop", m_desktopPath));
    m_appData.reset(new ScopedShellFolder("AppData", appData));
    RemoveEntries();

    const std::string plain = m_desktopPath + "\\Internet Explorer Plain.lnk";
    m_ok =
        m_desktop->ok() && m_appData->ok() &&
        SUCCEEDED(CreateShortcut(DesktopHijack(), kIExplore, "http://hijack.example/desktop")) &&
        SUCCEEDED(CreateShortcut(plain, kIExplore, "")) &&
        SUCCEEDED(CreateShortcut(m_desktopPath + "\\Notes.lnk", "C:\\windows\\notepad.exe",
                                 "C:\\notes.txt")) &&
        SUCCEEDED(CreateShortcut(QuickLaunchHijack(), kIExplore, "http://hijack.example/quick")) &&
        SUCCEEDED(CreateShortcut(m_quickLaunchPath + "\\Show Desktop.lnk",
                                 "C:\\windows\\explorer.exe", "/desktop")) &&
        RegisterEntry(kFakeClass, "Fake", kFakeCommand) &&
        RegisterEntry(kGenuineClass, "Genuine", "C:\\windows\\explorer.exe /e,");
    for (int i = 0; m_ok && i < extraDesktopLinks; ++i) {
        const std::string copy =
            m_desktopPath + "\\Internet Explorer Copy " + std::to_string(i) + ".lnk";
        m_ok = CopyFileA(plain.c_str(), copy.c_str(), FALSE) != FALSE;
    }
    // Set last: the copies above would inherit it.
    m_ok =
        m_ok && SetFileAttributesA(plain.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
}

bool HijackedProfile::PointShellFolders() const {
    const std::string appData = m_root->path() + "\\AppData";
    return SetNamedText(HKEY_CURRENT_USER, kShellFolders, "Desktop", m_desktopPath.c_str()) &&
           SetNamedText(HKEY_CURRENT_USER, kShellFolders, "AppData", appData.c_str());
}

HijackedProfile::~HijackedProfile() {
    RemoveEntries();
}

std::string HijackedProfile::DesktopHijack() const {
    return m_desktopPath + "\\Internet Explorer.lnk";
}

std::string HijackedProfile::QuickLaunchHijack() const {
    return m_quickLaunchPath + "\\Internet Explorer.lnk";
}

std::string HijackedProfile::FakeEntry() {
    return std::string(kNameSpaceKey) + "\\" + kFakeClass;
}

std::string HijackedProfile::GenuineEntry() {
    return std::string(kNameSpaceKey) + "\\" + kGenuineClass;
}

std::map<std::string, ObjectState> HijackedProfile::Harmless() const {
    return {
        {"Desktop plain shortcut", FileState(m_desktopPath + "\\Internet Explorer Plain.lnk")},
        {"Desktop notes shortcut", FileState(m_desktopPath + "\\Notes.lnk")},
        {"Quick Launch show desktop", FileState(m_quickLaunchPath + "\\Show Desktop.lnk")},
        {"genuine entry", MachineKeyState(GenuineEntry())},
        {"genuine class", MachineKeyState(std::string(kClassesKey) + kGenuineClass)},
        // A repair removes the fake entry only; its class registration stays.
        {"fake class", MachineKeyState(std::string(kClassesKey) + kFakeClass)},
    };
}

ObjectState FileState(const std::string& path) {
    ObjectState state;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    state.exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!state.exists) {
        return state;
    }
    state.attributes = attributes & kKeptAttributes;
    state.sddl = ReadSddl(path, SecurityObjectType::File);
    // An unreadable shortcut shows as an empty target as well as empty arguments.
    ReadArguments(Win32Platform(), path, &state.arguments);
    state.target = Lowercase(ReadShortcutTarget(path));
    return state;
}

ObjectState MachineKeyState(const std::string& path) {
    ObjectState state;
    state.tree = ReadTree(HKEY_LOCAL_MACHINE, path);
    state.exists = !state.tree.empty();
    if (state.exists) {
        state.sddl =
            ReadSddl(RegistryObjectName(HKEY_LOCAL_MACHINE, path), SecurityObjectType::RegistryKey);
    }
    return state;
}

}  // namespace brenvik::test
