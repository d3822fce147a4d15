#include "tests/support/win32_world.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <aclapi.h>
#include <sddl.h>

#include "platform/win32/handles.h"

namespace brenvik::test {
namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string TempFolder() {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, buffer);
    std::string path(buffer, length < MAX_PATH ? length : 0);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// Gives the key and all keys below it a null DACL so that they can be enumerated and deleted.
void OpenUpKeyTree(HKEY root, const std::string& path) {
    const std::string objectName = RegistryObjectName(root, path);
    std::vector<char> name(objectName.begin(), objectName.end());
    name.push_back('\0');
    SetNamedSecurityInfoA(name.data(), SE_REGISTRY_KEY,
                          DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                          nullptr, nullptr, nullptr, nullptr);
    UniqueHkey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        char sub[256];
        DWORD size = sizeof sub;
        if (RegEnumKeyExA(key.get(), index, sub, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        OpenUpKeyTree(root, path + "\\" + sub);
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

HRESULT CreateShortcut(const std::string& path, const std::string& target,
                       const std::string& arguments) {
    ComInit com;
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.put());
    if (FAILED(hr))
        return hr;
    if (FAILED(hr = link->SetPath(target.c_str())))
        return hr;
    if (FAILED(hr = link->SetArguments(arguments.c_str())))
        return hr;
    ComPtr<IPersistFile> file;
    if (FAILED(hr = link->QueryInterface(IID_IPersistFile, file.put())))
        return hr;
    WCHAR wide[MAX_PATH] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return E_INVALIDARG;
    return file->Save(wide, TRUE);
}

std::string ReadShortcutTarget(const std::string& path) {
    ComInit com;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    WCHAR wide[MAX_PATH] = {};
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put())) ||
        !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) ||
        FAILED(file->Load(wide, STGM_READ)))
        return std::string();
    char target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return std::string();
    return target;
}

bool MakeFolders(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const std::size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2 && !MakeFolders(path.substr(0, slash)))
        return false;
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeFile(const std::string& path, DWORD attributes) {
    const std::size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos)
        MakeFolders(path.substr(0, slash));
    UniqueHfile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    file.reset();
    return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data = {};
    UniqueFind find(FindFirstFileA((path + "\\*").c_str(), &data));
    if (find) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
            if (folder) {
                RemoveTree(full);
            } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryA(full.c_str());
            } else {
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find.get(), &data));
    }
    find.reset();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(path.c_str()) != FALSE;
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
    if (RegDeleteTreeA(root, path.c_str()) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    OpenUpKeyTree(root, path);
    return RegDeleteTreeA(root, path.c_str());
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
    if (GetNamedSecurityInfoA(objectName.c_str(), static_cast<SE_OBJECT_TYPE>(type),
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
    std::vector<char> name(objectName.begin(), objectName.end());
    name.push_back('\0');
    return SetNamedSecurityInfoA(name.data(), static_cast<SE_OBJECT_TYPE>(type), what, nullptr,
                                 nullptr, present ? dacl : nullptr, nullptr);
}

ScopedShellFolder::ScopedShellFolder(const std::string& valueName, const std::string& text,
                                     DWORD type)
    : ScopedShellFolder(valueName,
                        std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1),
                        type) {}

ScopedShellFolder::ScopedShellFolder(const std::string& valueName,
                                     const std::vector<std::uint8_t>& data, DWORD type)
    : m_valueName(valueName) {
    UniqueHkey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &m_oldType, nullptr, &size) ==
        ERROR_SUCCESS) {
        m_oldData.resize(size);
        m_hadValue = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &m_oldType,
                                      m_oldData.data(), &size) == ERROR_SUCCESS;
        m_oldData.resize(size);
    }
    m_ok = RegSetValueExA(key.get(), valueName.c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

ScopedShellFolder::~ScopedShellFolder() {
    UniqueHkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_WRITE, key.put()) !=
        ERROR_SUCCESS)
        return;
    if (m_hadValue) {
        RegSetValueExA(key.get(), m_valueName.c_str(), 0, m_oldType, m_oldData.data(),
                       static_cast<DWORD>(m_oldData.size()));
    } else {
        RegDeleteValueA(key.get(), m_valueName.c_str());
    }
}

}  // namespace brenvik::test
