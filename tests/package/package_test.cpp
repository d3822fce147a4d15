// The Windows Installer package under Wine, in a prefix of its own: a quiet install, the
// installed programs and their version resources, an upgrade in place, a refused downgrade,
// and a removal that takes what it installed and leaves the backup sets.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <vector>

#include "brenvik_version.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "tests/support/child_process.h"
#include "tests/support/known_folder.h"
#include "tests/support/wine_path.h"

namespace brenvik::test {
namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool Exists(const std::string& path) {
    return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs the command line, its output to the file; the exit code, or kNoExitCode.
DWORD RunProgram(const std::string& commandLine, const std::string& outputFile = "NUL") {
    return WaitForExit(StartProgram(commandLine, outputFile));
}

DWORD Msiexec(const std::string& arguments) {
    return RunProgram("msiexec.exe " + arguments + " /qn");
}

struct UninstallEntry {
    std::wstring key;  // the product code
    std::wstring version;
    std::wstring publisher;
};

std::wstring StringValue(HKEY key, const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return L"";
    return value;
}

// Add/Remove Programs entries whose shown name is the product's.
std::vector<UninstallEntry> ProductEntries() {
    std::vector<UninstallEntry> entries;
    UniqueHkey root;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY,
                      root.put()) != ERROR_SUCCESS)
        return entries;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(root.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        UniqueHkey entry;
        if (RegOpenKeyExW(root.get(), name, 0, KEY_READ | KEY_WOW64_64KEY, entry.put()) !=
            ERROR_SUCCESS)
            continue;
        if (StringValue(entry.get(), L"DisplayName") != Utf8ToWide(BRENVIK_PRODUCT_NAME))
            continue;
        entries.push_back({name, StringValue(entry.get(), L"DisplayVersion"),
                           StringValue(entry.get(), L"Publisher")});
    }
    return entries;
}

// A file's version resource.
class VersionResource {
public:
    explicit VersionResource(const std::string& path) {
        const std::wstring wide = Utf8ToWide(path);
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &handle);
        m_data.assign(size, 0xbd);
        if (size == 0 || !GetFileVersionInfoW(wide.c_str(), 0, size, m_data.data()))
            m_data.clear();
    }
    bool present() const { return !m_data.empty(); }

    const VS_FIXEDFILEINFO* fixed() const {
        void* value = nullptr;
        UINT length = 0;
        if (!present() || !VerQueryValueW(m_data.data(), L"\\", &value, &length) ||
            length < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(value);
    }

    // Language and code page pairs of the translation table.
    std::vector<std::pair<WORD, WORD>> translations() const {
        std::vector<std::pair<WORD, WORD>> pairs;
        void* value = nullptr;
        UINT length = 0;
        if (!present() ||
            !VerQueryValueW(m_data.data(), L"\\VarFileInfo\\Translation", &value, &length))
            return pairs;
        const WORD* words = static_cast<const WORD*>(value);
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2)
            pairs.emplace_back(words[i], words[i + 1]);
        return pairs;
    }

    // block: "040904e4" and the like. "<none>" when the text is not there.
    std::wstring text(const std::wstring& block, const std::wstring& name) const {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = L"\\StringFileInfo\\" + block + L"\\" + name;
        if (!present() || !VerQueryValueW(m_data.data(), path.c_str(), &value, &length))
            return L"<none>";
        return std::wstring(static_cast<const wchar_t*>(value), length ? length - 1 : 0);
    }

private:
    std::vector<BYTE> m_data;
};

std::wstring Wide(const char* text) {
    return Utf8ToWide(text);
}

// The version resource of an installed program, against the build's version and settings and
// the literal texts (the Chinese ones as UTF-16, so that a wrong code page shows).
void ExpectVersionResource(const std::string& folder) {
    struct Text {
        const char* file;
        const wchar_t* block;
        const wchar_t* name;
        std::wstring expected;
    };
    const std::wstring kExeZh = L"Brenvik \x6d4f\x89c8\x5668\x52ab\x6301\x4fee\x590d\x5de5\x5177";
    const std::wstring kComZh = kExeZh + L"\xff08\x547d\x4ee4\x884c\xff09";
    const Text texts[] = {
        {"brenvik.exe", L"040904e4", L"FileDescription", L"Brenvik browser hijack repair tool"},
        {"brenvik.exe", L"080403a4", L"FileDescription", kExeZh},
        {"brenvik.exe", L"040904e4", L"OriginalFilename", L"brenvik.exe"},
        {"brenvik.exe", L"080403a4", L"OriginalFilename", L"brenvik.exe"},
        {"brenvik.exe", L"040904e4", L"CompanyName", Wide(BRENVIK_COMPANY_NAME)},
        {"brenvik.exe", L"080403a4", L"CompanyName", Wide(BRENVIK_COMPANY_NAME)},
        {"brenvik.exe", L"040904e4", L"ProductName", Wide(BRENVIK_PRODUCT_NAME)},
        {"brenvik.exe", L"040904e4", L"ProductVersion", Wide(BRENVIK_VERSION_STRING)},
        {"brenvik.exe", L"080403a4", L"ProductVersion", Wide(BRENVIK_VERSION_STRING)},
        {"brenvik.exe", L"040904e4", L"FileVersion", Wide(BRENVIK_VERSION_DOTTED)},
        {"brenvik.exe", L"080403a4", L"LegalCopyright",
         L"\x7248\x6743\x6240\x6709 (C) " + Wide(BRENVIK_COMPANY_NAME)},
        {"brenvik.com", L"040904e4", L"FileDescription",
         L"Brenvik browser hijack repair tool (command line)"},
        {"brenvik.com", L"080403a4", L"FileDescription", kComZh},
        {"brenvik.com", L"040904e4", L"OriginalFilename", L"brenvik.com"},
        {"brenvik.com", L"080403a4", L"CompanyName", Wide(BRENVIK_COMPANY_NAME)},
        {"brenvik.com", L"080403a4", L"ProductName", Wide(BRENVIK_PRODUCT_NAME)},
        {"brenvik.com", L"040904e4", L"ProductVersion", Wide(BRENVIK_VERSION_STRING)},
        {"brenvik.com", L"080403a4", L"FileVersion", Wide(BRENVIK_VERSION_DOTTED)},
    };
    for (const Text& t : texts) {
        const VersionResource resource(folder + "\\" + t.file);
        EXPECT_EQ(t.expected, resource.text(t.block, t.name))
            << t.file << " " << WideToUtf8(t.block) << " " << WideToUtf8(t.name);
    }

    unsigned parts[4] = {};
    ASSERT_EQ(4, std::sscanf(BRENVIK_VERSION_DOTTED, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2],
                             &parts[3]));
    for (const char* file : {"brenvik.exe", "brenvik.com"}) {
        const VersionResource resource(folder + "\\" + file);
        const VS_FIXEDFILEINFO* fixed = resource.fixed();
        ASSERT_NE(nullptr, fixed) << file;
        EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature) << file;
        EXPECT_EQ(MAKELONG(parts[1], parts[0]), fixed->dwFileVersionMS) << file;
        EXPECT_EQ(MAKELONG(parts[3], parts[2]), fixed->dwFileVersionLS) << file;
        EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS) << file;
        EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS) << file;
        EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType) << file;
        const std::vector<std::pair<WORD, WORD>> expected = {{0x0409, 1252}, {0x0804, 936}};
        EXPECT_EQ(expected, resource.translations()) << file;
    }
}

TEST(Package, InstallsQuietlyUpgradesInPlaceAndRemovesAllButTheBackups) {
    const std::string folder = KnownFolder(FOLDERID_ProgramFiles) + "\\Brenvik";
    // Windows puts a per-machine package's Start Menu entry in the common Programs folder;
    // Wine 8's installer sets ProgramMenuFolder to the user's even with ALLUSERS=1.
    const std::string menuEntries[] = {KnownFolder(FOLDERID_CommonPrograms) + "\\Brenvik.lnk",
                                       KnownFolder(FOLDERID_Programs) + "\\Brenvik.lnk"};
    const auto menuEntryCount = [&menuEntries] {
        return Exists(menuEntries[0]) + Exists(menuEntries[1]);
    };
    const std::string desktops[] = {KnownFolder(FOLDERID_PublicDesktop) + "\\Brenvik.lnk",
                                    KnownFolder(FOLDERID_Desktop) + "\\Brenvik.lnk"};
    const std::string files[] = {"brenvik.exe", "brenvik.com", "README.txt", "NOTICES.txt"};
    const std::string current = WindowsPath(BRENVIK_PACKAGE_CURRENT);
    const std::string next = WindowsPath(BRENVIK_PACKAGE_NEXT);
    ASSERT_TRUE(ProductEntries().empty()) << "the prefix must be new";

    // A quiet install.
    ASSERT_EQ(0u, Msiexec("/i \"" + current + "\""));
    for (const std::string& file : files) EXPECT_TRUE(Exists(folder + "\\" + file)) << file;
    EXPECT_EQ(1, menuEntryCount());
    for (const std::string& desktop : desktops) EXPECT_FALSE(Exists(desktop)) << desktop;
    std::vector<UninstallEntry> entries = ProductEntries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(Wide(BRENVIK_VERSION_STRING), entries[0].version);
    EXPECT_EQ(Wide(BRENVIK_COMPANY_NAME), entries[0].publisher);
    ExpectVersionResource(folder);

    // The installed programs answer.
    const std::string usage = KnownFolder(FOLDERID_LocalAppData) + "\\brenvik-package-usage.txt";
    EXPECT_EQ(3u, RunProgram("\"" + folder + "\\brenvik.com\" /?", usage));
    EXPECT_EQ(0u, ReadAll(usage).rfind("Usage: brenvik", 0)) << ReadAll(usage);
    DeleteFileW(Utf8ToWide(usage).c_str());
    // The window's program with switches works without a window, and gives the same code.
    EXPECT_EQ(3u, RunProgram("\"" + folder + "\\brenvik.exe\" /?"));

    // Its report carries the version its resource does.
    const std::string report = KnownFolder(FOLDERID_LocalAppData) + "\\brenvik-package.json";
    EXPECT_GE(1u, RunProgram("\"" + folder + "\\brenvik.com\" /scan /report \"" + report + "\""));
    const nlohmann::json json = nlohmann::json::parse(ReadAll(report), nullptr, false);
    EXPECT_EQ(
        WideToUtf8(VersionResource(folder + "\\brenvik.com").text(L"040904e4", L"ProductVersion")),
        json.value("version", "<none>"));
    DeleteFileW(Utf8ToWide(report).c_str());

    // The next version replaces it: one entry, the new version.
    const std::wstring firstCode = entries[0].key;
    ASSERT_EQ(0u, Msiexec("/i \"" + next + "\""));
    entries = ProductEntries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(Wide(BRENVIK_PACKAGE_NEXT_VERSION), entries[0].version);
    EXPECT_NE(firstCode, entries[0].key);
    for (const std::string& file : files) EXPECT_TRUE(Exists(folder + "\\" + file)) << file;

    // The older package is refused now, and changes nothing.
    EXPECT_NE(0u, Msiexec("/i \"" + current + "\""));
    entries = ProductEntries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(Wide(BRENVIK_PACKAGE_NEXT_VERSION), entries[0].version);

    // Removal by product code, as a fleet's tools do it, with a backup set in place.
    const std::string data = KnownFolder(FOLDERID_ProgramData) + "\\Brenvik";
    const std::string set = data + "\\Backups\\20261208T190648Z";
    ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, Utf8ToWide(set).c_str(), nullptr));
    std::ofstream(set + "\\manifest", std::ios::binary) << "kept\n";
    ASSERT_EQ(0u, Msiexec("/x " + WideToUtf8(entries[0].key)));
    for (const std::string& file : files) EXPECT_FALSE(Exists(folder + "\\" + file)) << file;
    EXPECT_FALSE(Exists(folder));
    EXPECT_EQ(0, menuEntryCount());
    EXPECT_TRUE(ProductEntries().empty());
    EXPECT_EQ("kept\n", ReadAll(set + "\\manifest"));

    DeleteFileW(Utf8ToWide(set + "\\manifest").c_str());
    RemoveDirectoryW(Utf8ToWide(set).c_str());
    RemoveDirectoryW(Utf8ToWide(data + "\\Backups").c_str());
    RemoveDirectoryW(Utf8ToWide(data).c_str());
}

}  // namespace
}  // namespace brenvik::test
