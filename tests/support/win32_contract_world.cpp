// The contract world over Win32Platform: scratch keys and folders in the (Wine) system.
#include <windows.h>
#include <objidl.h>
#include <sddl.h>
#include <winternl.h>
#include <shlobj.h>

#include <memory>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/contract_world.h"
#include "tests/support/win32_world.h"

extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace brenvik::test {
namespace {

// The kernel's name of root: links hold such names, not the predefined handles.
std::wstring KernelRoot(RegKey root) {
    if (root == kHKeyLocalMachine)
        return L"\\Registry\\Machine";
    std::wstring name;
    HANDLE token = nullptr;
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    LPWSTR sid = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
        GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid))
        name = L"\\Registry\\User\\" + std::wstring(sid);
    LocalFree(sid);
    if (token != nullptr)
        CloseHandle(token);
    return name;
}

HKEY ToRoot(RegKey root) {
    return root == kHKeyLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

void SetShortcutIcon(const std::string& path, const std::string& iconPath) {
    ComInit com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    const std::wstring widePath = Utf8ToWide(path);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   link.put())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put())) &&
        SUCCEEDED(file->Load(widePath.c_str(), STGM_READ)) &&
        SUCCEEDED(link->SetIconLocation(Utf8ToWide(iconPath).c_str(), 0)))
        file->Save(widePath.c_str(), TRUE);
}

void MakeTextFile(const std::string& path, const std::string& bytes) {
    UniqueHfile file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

class Win32ContractWorld final : public ContractWorld {
public:
    RegistryPort& registry() override { return m_platform; }
    FilePort& files() override { return m_platform; }
    ShortcutPort& shortcuts() override { return m_platform; }
    AccessPort& access() override { return m_platform; }
    FileSecurityPort& fileSecurity() override { return m_platform; }
    StorePort& store() override { return m_platform; }
    KnownFolderPort& knownFolders() override { return m_platform; }
    Ports ports() override { return m_platform.ports(); }

    std::string scratchKey(RegKey root) override {
        m_keys.push_back(std::make_unique<ScratchKey>(
            root == kHKeyLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER));
        return m_keys.back()->path();
    }
    std::string scratchFolder() override {
        m_folders.push_back(std::make_unique<ScratchFolder>());
        return m_folders.back()->path();
    }
    void makeFolder(const std::string& path) override { MakeFolders(path); }
    void makeFile(const std::string& path, std::uint32_t attributes) override {
        MakeFile(path, attributes);
    }
    void makeShortcut(const std::string& path, const std::string& target,
                      const std::string& arguments) override {
        CreateShortcut(path, target, arguments);
    }
    void setShortcutIcon(const std::string& path, const std::string& iconPath) override {
        SetShortcutIcon(path, iconPath);
    }
    void makeTextFile(const std::string& path, const std::string& bytes) override {
        MakeTextFile(path, bytes);
    }
    std::string shortcutTarget(const std::string& path) override {
        return ReadShortcutTarget(path);
    }
    std::string existingProgram() override {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        return WideToUtf8(path, length);
    }
    void putText(RegKey root, const std::string& path, const std::string& name,
                 const std::string& text) override {
        UniqueHkey key;
        RegCreateKeyExW(root == kHKeyLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                        Utf8ToWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, key.put(), nullptr);
        const std::vector<std::uint8_t> data = StoredText(text);
        RegSetValueExW(key.get(), Utf8ToWide(name).c_str(), 0, REG_SZ, data.data(),
                       static_cast<DWORD>(data.size()));
    }
    void makeKeyLink(RegKey root, const std::string& path, const std::string& targetPath) override {
        UniqueHkey link;
        if (RegCreateKeyExW(ToRoot(root), Utf8ToWide(path).c_str(), 0, nullptr,
                            REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK,
                            KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, link.put(),
                            nullptr) != ERROR_SUCCESS)
            return;
        m_links.emplace_back(root, path);
        const std::wstring target = KernelRoot(root) + L"\\" + Utf8ToWide(targetPath);
        RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK,
                       reinterpret_cast<const BYTE*>(target.data()),
                       static_cast<DWORD>(target.size() * sizeof(wchar_t)));
    }
    bool underWine() const override { return IsWine(); }

    // The links go first, each through a handle on itself: removing the scratch keys by name
    // would follow them.
    ~Win32ContractWorld() override {
        for (const auto& [root, path] : m_links) {
            UniqueHkey link;
            if (RegOpenKeyExW(ToRoot(root), Utf8ToWide(path).c_str(), REG_OPTION_OPEN_LINK, DELETE,
                              link.put()) == ERROR_SUCCESS)
                NtDeleteKey(link.get());
        }
    }

private:
    std::vector<std::pair<RegKey, std::string>> m_links;
    Win32Platform m_platform;
    std::vector<std::unique_ptr<ScratchKey>> m_keys;
    std::vector<std::unique_ptr<ScratchFolder>> m_folders;
};

}  // namespace

std::unique_ptr<ContractWorld> MakeContractWorld() {
    return std::make_unique<Win32ContractWorld>();
}

}  // namespace brenvik::test
