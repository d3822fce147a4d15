#include "tests/support/win32_world.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <aclapi.h>
#include <sddl.h>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "tests/support/registry_names.h"

namespace brenvik::test {
namespace {

constexpr const char* kUserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string TempFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, buffer);
    std::string path = WideToUtf8(buffer, length < MAX_PATH ? length : 0);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// Gives the key and all keys below it a null DACL so that they can be enumerated and deleted.
void OpenUpKeyTree(HKEY root, const std::string& path) {
    std::wstring name = Utf8ToWide(RegistryObjectName(root, path));
    SetNamedSecurityInfoW(name.data(), SE_REGISTRY_KEY,
                          DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                          nullptr, nullptr, nullptr, nullptr);
    UniqueHkey key;
    if (RegOpenKeyExW(root, Utf8ToWide(path).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t sub[256];
        DWORD size = 256;
        if (RegEnumKeyExW(key.get(), index, sub, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        OpenUpKeyTree(root, path + "\\" + WideToUtf8(sub, size));
    }
}

}  // namespace

bool IsWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string UniqueName(const char* prefix) {
    static unsigned serial = 0;
    return std::string(prefix) + "-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "-" + std::to_string(++serial);
}

std::string NewClassId() {
    GUID guid;
    CoCreateGuid(&guid);
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return WideToUtf8(text);
}

HRESULT CreateShortcut(const std::string& path, const std::string& target,
                       const std::string& arguments) {
    ComInit com;
    ComPtr<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put());
    if (FAILED(hr))
        return hr;
    if (FAILED(hr = link->SetPath(Utf8ToWide(target).c_str())))
        return hr;
    if (FAILED(hr = link->SetArguments(Utf8ToWide(arguments).c_str())))
        return hr;
    ComPtr<IPersistFile> file;
    if (FAILED(hr = link->QueryInterface(IID_IPersistFile, file.put())))
        return hr;
    return file->Save(Utf8ToWide(path).c_str(), TRUE);
}

std::string ReadShortcutTarget(const std::string& path) {
    ComInit com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put())) ||
        FAILED(file->Load(Utf8ToWide(path).c_str(), STGM_READ)))
        return std::string();
    wchar_t target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return std::string();
    return WideToUtf8(target);
}

bool MakeFolders(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const std::size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2 && !MakeFolders(path.substr(0, slash)))
        return false;
    return CreateDirectoryW(wide.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeFile(const std::string& path, DWORD attributes) {
    const std::size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos)
        MakeFolders(path.substr(0, slash));
    const std::wstring wide = Utf8ToWide(path);
    UniqueHfile file(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    file.reset();
    return SetFileAttributesW(wide.c_str(), attributes) != FALSE;
}

bool RemoveTree(const std::string& path) {
    WIN32_FIND_DATAW data = {};
    UniqueFind find(FindFirstFileW(Utf8ToWide(path + "\\*").c_str(), &data));
    if (find) {
        do {
            const std::string name = WideToUtf8(data.cFileName);
            if (name == "." || name == "..")
                continue;
            const std::string full = path + "\\" + name;
            const std::wstring wide = Utf8ToWide(full);
            SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
            if (folder) {
                RemoveTree(full);
            } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(wide.c_str());
            } else {
                DeleteFileW(wide.c_str());
            }
        } while (FindNextFileW(find.get(), &data));
    }
    find.reset();
    const std::wstring wide = Utf8ToWide(path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(wide.c_str()) != FALSE;
}

ScratchFolder::ScratchFolder(const std::string& parent)
    : m_path((parent.empty() ? TempFolder() : parent) + "\\" + UniqueName("brenvik")) {
    MakeFolders(m_path);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(m_path);
}

std::string RegistryObjectName(HKEY root, const std::string& path) {
    const char* word = root == HKEY_LOCAL_MACHINE  ? "MACHINE\\"
                       : root == HKEY_CLASSES_ROOT ? "CLASSES_ROOT\\"
                                                   : "CURRENT_USER\\";
    return word + path;
}

LONG DeleteKeyTreeForcibly(HKEY root, const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    if (RegDeleteTreeW(root, wide.c_str()) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    OpenUpKeyTree(root, path);
    return RegDeleteTreeW(root, wide.c_str());
}

ScratchKey::ScratchKey(HKEY root)
    : m_root(root), m_path("Software\\BrenvikTest\\" + UniqueName("key")) {
    UniqueHkey key;
    RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr,
                    key.put(), nullptr);
}

ScratchKey::~ScratchKey() {
    DeleteKeyTreeForcibly(m_root, m_path);
    // Goes only when no other scratch key is left under it.
    RegDeleteKeyA(m_root, "Software\\BrenvikTest");
}

std::string ScratchKey::objectName() const {
    return RegistryObjectName(m_root, m_path);
}

std::string ReadSddl(const std::string& objectName, SecurityObjectType type) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(Utf8ToWide(objectName).c_str(), static_cast<SE_OBJECT_TYPE>(type),
                              DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return std::string();
    UniqueHlocal owned(descriptor);
    LPSTR text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(
            descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr))
        return std::string();
    UniqueHlocal ownedText(text);
    return text;
}

DWORD WriteSddl(const std::string& objectName, SecurityObjectType type, const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return GetLastError();
    UniqueHlocal owned(descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted))
        return GetLastError();
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!GetSecurityDescriptorControl(descriptor, &control, &revision))
        return GetLastError();
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
    what |= (control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                          : UNPROTECTED_DACL_SECURITY_INFORMATION;
    std::wstring name = Utf8ToWide(objectName);
    return SetNamedSecurityInfoW(name.data(), static_cast<SE_OBJECT_TYPE>(type), what, nullptr,
                                 nullptr, present ? dacl : nullptr, nullptr);
}

ScopedShellFolder::ScopedShellFolder(const std::string& valueName, const std::string& text,
                                     DWORD type, HKEY root)
    : m_valueName(valueName) {
    m_ok = set(root, kShellFolders, StoredText(text), type);
    if (m_ok && type == REG_SZ)
        m_ok = set(root, kUserShellFoldersKey, StoredText(text), type);
}

ScopedShellFolder::ScopedShellFolder(const std::string& valueName,
                                     const std::vector<std::uint8_t>& data, DWORD type)
    : m_valueName(valueName) {
    m_ok = set(HKEY_CURRENT_USER, kShellFolders, data, type);
}

bool ScopedShellFolder::set(HKEY root, const char* keyPath, const std::vector<std::uint8_t>& data,
                            DWORD type) {
    UniqueHkey key;
    if (RegCreateKeyExA(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    // Read and written as stored (UTF-16 text), so that the old value comes back exactly.
    const std::wstring name = Utf8ToWide(m_valueName);
    SavedValue saved{root, keyPath};
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &saved.oldType, nullptr, &size) ==
        ERROR_SUCCESS) {
        saved.oldData.resize(size);
        saved.hadValue = RegQueryValueExW(key.get(), name.c_str(), nullptr, &saved.oldType,
                                          saved.oldData.data(), &size) == ERROR_SUCCESS;
        saved.oldData.resize(size);
    }
    m_saved.push_back(std::move(saved));
    return RegSetValueExW(key.get(), name.c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

ScopedShellFolder::~ScopedShellFolder() {
    const std::wstring name = Utf8ToWide(m_valueName);
    for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved) {
        UniqueHkey key;
        if (RegOpenKeyExA(saved->root, saved->keyPath, 0, KEY_WRITE, key.put()) != ERROR_SUCCESS)
            continue;
        if (saved->hadValue) {
            RegSetValueExW(key.get(), name.c_str(), 0, saved->oldType, saved->oldData.data(),
                           static_cast<DWORD>(saved->oldData.size()));
        } else {
            RegDeleteValueW(key.get(), name.c_str());
        }
    }
}

std::vector<std::uint8_t> StoredText(const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(wide.c_str());
    return std::vector<std::uint8_t>(bytes, bytes + (wide.size() + 1) * sizeof(wchar_t));
}

}  // namespace brenvik::test
