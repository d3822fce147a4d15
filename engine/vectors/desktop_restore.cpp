#include "engine/vectors/desktop_restore.h"

#include <cstring>
#include <vector>

#include "engine/backup/key_tree.h"

namespace brenvik {
namespace {

// The per-user keys whose values say which desktop icons are hidden.
constexpr const char* kHideIconsKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\ClassicStartMenu",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel",
};
// The class in each hive on its own, never through HKEY_CLASSES_ROOT: that merged view reads
// the user's keys over the machine's and writes where the key happens to exist, so a backup
// taken through it would carry a user's values into the machine's registration.
constexpr const char* kNetworkPlacesKey =
    "Software\\Classes\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}";

constexpr const char* kInternetExplorerClass = "{871C5380-42A0-1069-A2EA-08002B30309D}";
constexpr const char* kNetworkPlacesClass = "{208D2C60-3AEA-1069-A2D7-08002B30309D}";

struct RegistrationRow {
    const char* subkey;  // below the class key; "" for the class key itself
    const char* valueName;
    std::uint32_t type;
    const char* text;      // for text values
    std::uint32_t number;  // for REG_DWORD values
};

// The registration as it is written back, key by key in this order. The class's display
// name is its code page 936 text (bytes, so the source file's encoding cannot change it).
constexpr RegistrationRow kRegistration[] = {
    {"", "", kRegSz, "\xCD\xF8\xC9\xCF\xC1\xDA\xBE\xD3", 0},
    {"", "InfoTip", kRegExpandSz, "@%SystemRoot%\\system32\\SHELL32.dll,-22912", 0},
    {"", "IntroText", kRegExpandSz, "@%SystemRoot%\\system32\\SHELL32.dll,-31749", 0},
    {"", "LocalizedString", kRegExpandSz, "@%SystemRoot%\\system32\\SHELL32.dll,-9217", 0},
    {"\\DefaultIcon", "", kRegExpandSz, "%SystemRoot%\\system32\\SHELL32.dll,17", 0},
    {"\\InProcServer32", "", kRegExpandSz, "%SystemRoot%\\system32\\SHELL32.dll", 0},
    {"\\InProcServer32", "ThreadingModel", kRegSz, "Apartment", 0},
    {"\\shell", "", kRegSz, "none", 0},
    {"\\shell\\find", "", kRegExpandSz, "@%SystemRoot%\\system32\\SHELL32.dll,-29188", 0},
    {"\\shell\\find", "SuppressionPolicy", kRegDword, nullptr, 0x80},
    {"\\shell\\find\\command", "", kRegExpandSz, "%SystemRoot%\\Explorer.exe", 0},
    {"\\shell\\find\\ddeexec", "", kRegSz, "[FindFolder(\"%l\", %I)]", 0},
    {"\\shell\\find\\ddeexec\\application", "", kRegSz, "Folders", 0},
    {"\\shell\\find\\ddeexec\\topic", "", kRegSz, "AppProperties", 0},
    {"\\ShellFolder", "HideOnDesktopPerUser", kRegSz, "", 0},
};

void WriteRow(AccessBroker& broker, RegKey key, const RegistrationRow& row) {
    if (row.type == kRegDword) {
        SetDword(broker, key, row.valueName, row.number);
        return;
    }
    // Text values are written with their terminator: size = length + 1.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(row.text);
    broker.setValue(key, row.valueName, row.type, bytes,
                    static_cast<std::uint32_t>(std::strlen(row.text) + 1));
}

}  // namespace

std::vector<KeyPlace> DesktopRestoreKeys() {
    return {{kHKeyCurrentUser, kHideIconsKeys[0], false},
            {kHKeyCurrentUser, kHideIconsKeys[1], false},
            {kHKeyLocalMachine, kNetworkPlacesKey, false},
            {kHKeyCurrentUser, kNetworkPlacesKey, false}};
}

void ShowDesktopIcons(AccessBroker& broker) {
    for (const char* path : kHideIconsKeys) {
        ScopedKey key(broker.reads().registry);
        // A missing key stays missing: it is opened, never created.
        if (broker.openKey(kHKeyCurrentUser, path, kKeyWrite, &key) != kErrorSuccess)
            continue;
        SetDword(broker, key.get(), kInternetExplorerClass, 0);
        SetDword(broker, key.get(), kNetworkPlacesClass, 1);
    }
}

void ReregisterNetworkPlaces(AccessBroker& broker) {
    RegistryReader& registry = broker.reads().registry;
    // The user's own registration would stand over the machine's one in the shell's view. It
    // is seldom there, and a key that is not there needs no deletion kept in the backup.
    ScopedKey user(registry);
    if (broker.openKey(kHKeyCurrentUser, kNetworkPlacesKey, kKeyRead, &user) == kErrorSuccess) {
        user.reset();
        DeleteKeyTree(broker, kHKeyCurrentUser, kNetworkPlacesKey);
    }
    DeleteKeyTree(broker, kHKeyLocalMachine, kNetworkPlacesKey);
    // One key open at a time; the values of a key that cannot be created are skipped. What
    // a partial deletion left is written over through the same door, so a key that still
    // refuses is reached the way its deletion reached it.
    ScopedKey key(registry);
    const char* current = nullptr;
    bool created = false;
    for (const RegistrationRow& row : kRegistration) {
        if (current == nullptr || std::strcmp(current, row.subkey) != 0) {
            current = row.subkey;
            key.reset();
            created =
                broker.createKey(kHKeyLocalMachine, std::string(kNetworkPlacesKey) + row.subkey,
                                 kKeyReadWrite, &key) == kErrorSuccess;
        }
        if (created)
            WriteRow(broker, key.get(), row);
    }
}

}  // namespace brenvik
