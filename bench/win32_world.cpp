#include "bench/win32_world.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <map>
#include <utility>
#include <vector>

#include "bench/profile.h"
#include "platform/win32/handles.h"
#include "platform/win32/registry_roots.h"

namespace brenvik::bench {
namespace {

// SYSTEM alone may open a refusing key or file: the administrators, this process included,
// are refused, as they are by a class or shortcut locked against removal.
constexpr const char* kRefusingKeyList = "D:P(A;;KA;;;SY)";
constexpr const char* kRefusingFileList = "D:P(A;;FA;;;SY)";

std::string Describe(const char* what, long code) {
    return std::string(what) + " failed with " + std::to_string(code);
}

// The names an enumeration by index (of subkeys or of values) gives that ours claims.
template <typename Enumerate>
std::vector<std::string> OurNames(Enumerate enumerate, bool (*ours)(const char*)) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        const LONG status = enumerate(index, name, &size);
        if (status == ERROR_MORE_DATA)
            continue;  // longer than any name of ours
        if (status != ERROR_SUCCESS)
            break;
        if (ours(name))
            names.emplace_back(name, size);
    }
    return names;
}

// Subkey names of root\path that the benchmark made (ours tells).
std::vector<std::string> BenchSubkeys(HKEY root, const char* path, bool (*ours)(const char*)) {
    UniqueHkey key;
    if (RegOpenKeyExA(root, path, 0, KEY_ENUMERATE_SUB_KEYS, key.put()) != ERROR_SUCCESS)
        return {};
    return OurNames(
        [&](DWORD index, char* name, DWORD* size) {
            return RegEnumKeyExA(key.get(), index, name, size, nullptr, nullptr, nullptr, nullptr);
        },
        ours);
}

bool IsBenchClass(const char* name) {
    return IsBenchClassId(name);
}

bool IsBenchName(const char* name) {
    return std::strncmp(name, kBenchNamePrefix, std::strlen(kBenchNamePrefix)) == 0;
}

std::size_t RemoveBenchSubkeys(HKEY root, const char* path, bool (*ours)(const char*)) {
    std::size_t removed = 0;
    // Collected first: deleting while enumerating by index would skip names.
    for (const std::string& name : BenchSubkeys(root, path, ours)) {
        const std::string full = std::string(path) + "\\" + name;
        // Refusing keys are opened up first.
        removed += test::DeleteKeyTreeForcibly(root, full) == ERROR_SUCCESS;
    }
    return removed;
}

// chrome.exe's execution options are the benchmark's when they hold its mark.
bool OptionsAreOurs() {
    return RegGetValueA(HKEY_LOCAL_MACHINE, kBenchOptionsKey, kBenchNamePrefix, RRF_RT_ANY, nullptr,
                        nullptr, nullptr) == ERROR_SUCCESS;
}

bool OptionsExist() {
    UniqueHkey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBenchOptionsKey, 0, KEY_READ, key.put()) ==
           ERROR_SUCCESS;
}

// The startup values the benchmark made, by name.
std::size_t RemoveStartupValues() {
    UniqueHkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kBenchRunKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      key.put()) != ERROR_SUCCESS)
        return 0;
    const std::vector<std::string> names = OurNames(
        [&](DWORD index, char* name, DWORD* size) {
            return RegEnumValueA(key.get(), index, name, size, nullptr, nullptr, nullptr, nullptr);
        },
        IsBenchName);
    std::size_t removed = 0;
    for (const std::string& value : names)
        removed += RegDeleteValueA(key.get(), value.c_str()) == ERROR_SUCCESS;
    return removed;
}

LONG CreateKey(const std::string& path, const char* defaultValue) {
    UniqueHkey key;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS || !defaultValue)
        return status;
    return RegSetValueExA(key.get(), nullptr, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(defaultValue),
                          static_cast<DWORD>(std::char_traits<char>::length(defaultValue) + 1));
}

}  // namespace

// Where Wine's scheduler keeps the benchmark's task folder: its registration drops an Exec
// action's command, so the tasks are planted as the files it reads.
std::string TaskFolderPath() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\Tasks" + kBenchTaskFolder;
}

std::size_t RemoveBenchKeys() {
    std::size_t removed = RemoveBenchSubkeys(HKEY_LOCAL_MACHINE, kNameSpaceKey, IsBenchClass) +
                          RemoveBenchSubkeys(HKEY_LOCAL_MACHINE, kClassesKey, IsBenchClass) +
                          RemoveBenchSubkeys(HKEY_CURRENT_USER, kBenchClassesKey, IsBenchName) +
                          RemoveStartupValues();
    removed += test::DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, kBenchClientKey) == ERROR_SUCCESS;
    removed += test::RemoveTree(TaskFolderPath());
    if (OptionsAreOurs())
        removed +=
            test::DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, kBenchOptionsKey) == ERROR_SUCCESS;
    return removed;
}

Win32World::ComScope::ComScope() : result(CoInitialize(nullptr)) {}

Win32World::ComScope::~ComScope() {
    if (SUCCEEDED(result))
        CoUninitialize();
}

Win32World::Win32World(const Profile& profile) {
    if (FAILED(m_com.result)) {
        m_error = Describe("CoInitialize", m_com.result);
        return;
    }
    if (!makeFolders() || !makeLinks(profile) || !makeEntries(profile) || !makeValues(profile) ||
        !makeTasks(profile))
        return;
    if (!pointShellFolders())
        m_error = "pointing the Shell Folders values at the scratch folders failed";
}

bool Win32World::pointShellFolders() {
    const std::pair<const char*, std::string> values[] = {
        {"Desktop", m_desktop},
        {"AppData", m_appData},
        {"Start Menu", m_startMenu},
        {"Startup", m_startMenu + "\\" + kStartupSubPath},
    };
    for (const auto& value : values)
        m_folderValues.push_back(
            std::make_unique<test::ScopedShellFolder>(value.first, value.second));
    m_folderValues.push_back(std::make_unique<test::ScopedShellFolder>(
        "Common Desktop", m_publicDesktop, REG_SZ, HKEY_LOCAL_MACHINE));
    for (const auto& value : m_folderValues) {
        if (!value->ok())
            return false;
    }
    return true;
}

std::string Win32World::linkFolder(const ProfileLink& link) const {
    return LinkFolderOf({m_desktop, m_publicDesktop, m_quickLaunch, m_startMenu}, link);
}

bool Win32World::makeFolders() {
    if (m_scratch.path().empty()) {
        m_error = "making the scratch folder failed";
        return false;
    }
    m_desktop = m_scratch.path() + "\\Desktop";
    m_appData = m_scratch.path() + "\\AppData";
    m_quickLaunch = m_appData + "\\" + kQuickLaunchSubPath;
    m_startMenu = m_appData + "\\Microsoft\\Windows\\Start Menu";
    m_publicDesktop = m_scratch.path() + "\\Public Desktop";
    if (test::MakeFolders(m_desktop) && test::MakeFolders(m_quickLaunch + "\\" + kTaskbarSubPath) &&
        test::MakeFolders(m_startMenu + "\\" + kStartupSubPath) &&
        test::MakeFolders(m_publicDesktop))
        return true;
    m_error = "making the place folders failed";
    return false;
}

bool Win32World::makeLinks(const Profile& profile) {
    // One shell link object saved under every name.
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.put());
    if (SUCCEEDED(hr))
        hr = link->QueryInterface(IID_IPersistFile, file.put());
    if (FAILED(hr)) {
        m_error = Describe("creating the shell link object", hr);
        return false;
    }
    // Wine's IPersistFile::Save starts winemenubuilder and waits for it, about 80 ms a file:
    // a link identical to one already saved is copied instead.
    std::map<std::pair<std::string, std::string>, std::string> saved;
    for (const ProfileLink& item : profile.links) {
        const std::string folder = linkFolder(item);
        if (!item.subfolder.empty() && !test::MakeFolders(folder)) {
            m_error = "making " + folder + " failed";
            return false;
        }
        const std::string path = folder + "\\" + item.name;
        const auto same = saved.find({item.target, item.arguments});
        if (same != saved.end()) {
            if (CopyFileA(same->second.c_str(), path.c_str(), TRUE))
                continue;
            m_error = Describe(("copying to " + path).c_str(), static_cast<long>(GetLastError()));
            return false;
        }
        WCHAR widePath[MAX_PATH] = {};
        if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH)) {
            m_error = "path too long: " + path;
            return false;
        }
        hr = link->SetPath(item.target.c_str());
        if (SUCCEEDED(hr))
            hr = link->SetArguments(item.arguments.c_str());
        if (SUCCEEDED(hr))
            hr = file->Save(widePath, TRUE);
        if (FAILED(hr)) {
            m_error = Describe(("saving " + path).c_str(), hr);
            return false;
        }
        saved[{item.target, item.arguments}] = path;
    }
    return lockLinks(profile);
}

bool Win32World::lockLinks(const Profile& profile) {
    for (const ProfileLink& item : profile.links) {
        if (!item.refuses)
            continue;
        const std::string path = linkFolder(item) + "\\" + item.name;
        const DWORD status = test::WriteSddl(path, SecurityObjectType::File, kRefusingFileList);
        if (status != ERROR_SUCCESS) {
            m_error = Describe(("locking " + path).c_str(), static_cast<long>(status));
            return false;
        }
    }
    return true;
}

bool Win32World::makeEntries(const Profile& profile) {
    for (const ProfileEntry& entry : profile.entries) {
        const std::string classPath = std::string(kClassesKey) + "\\" + entry.classId;
        LONG status = CreateKey(std::string(kNameSpaceKey) + "\\" + entry.classId, nullptr);
        if (status == ERROR_SUCCESS)
            status = CreateKey(classPath, nullptr);
        for (const ProfileVerb& verb : entry.verbs) {
            if (status == ERROR_SUCCESS)
                status = CreateKey(classPath + "\\shell\\" + verb.name + "\\Command",
                                   verb.command.c_str());
        }
        if (status != ERROR_SUCCESS) {
            m_error = Describe(("creating " + classPath).c_str(), status);
            return false;
        }
        if (entry.refuses && !lockClass(entry))
            return false;
    }
    return true;
}

bool Win32World::makeValues(const Profile& profile) {
    // Someone's own execution options of chrome.exe are never written over, nor removed.
    if (!profile.values.empty() && OptionsExist() && !OptionsAreOurs()) {
        m_error = std::string("chrome.exe's execution options are not the benchmark's: ") +
                  kBenchOptionsKey;
        return false;
    }
    for (const ProfileValue& value : profile.values) {
        const std::uint32_t dword = value.dword.value_or(0);
        const LONG status =
            value.dword
                ? RegSetKeyValueA(ToHkey(value.root), value.key.c_str(), value.name.c_str(),
                                  REG_DWORD, &dword, sizeof dword)
                : RegSetKeyValueA(ToHkey(value.root), value.key.c_str(), value.name.c_str(), REG_SZ,
                                  value.text.c_str(), static_cast<DWORD>(value.text.size() + 1));
        if (status != ERROR_SUCCESS) {
            m_error = Describe(("writing " + value.key + "\\" + value.name).c_str(), status);
            return false;
        }
    }
    return true;
}

bool Win32World::makeTasks(const Profile& profile) {
    if (profile.tasks.empty())
        return true;
    const std::string folder = TaskFolderPath();
    if (!test::MakeFolders(folder)) {
        m_error = "creating " + folder + " failed";
        return false;
    }
    for (const ProfileTask& task : profile.tasks) {
        const std::string path = folder + task.name.substr(std::strlen(kBenchTaskFolder));
        std::ofstream file(path, std::ios::binary);
        file << task.xml;
        if (!file) {
            m_error = "writing " + path + " failed";
            return false;
        }
    }
    return true;
}

bool Win32World::lockClass(const ProfileEntry& entry) {
    for (const std::string& path : ClassKeys(entry)) {
        const DWORD status = test::WriteSddl(test::RegistryObjectName(HKEY_LOCAL_MACHINE, path),
                                             SecurityObjectType::RegistryKey, kRefusingKeyList);
        if (status != ERROR_SUCCESS) {
            m_error = Describe(("locking " + path).c_str(), static_cast<long>(status));
            return false;
        }
    }
    return true;
}

}  // namespace brenvik::bench
