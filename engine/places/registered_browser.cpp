#include "engine/places/registered_browser.h"

#include <vector>

#include "engine/base/text_rules.h"
#include "engine/rules/browser_paths.h"

namespace brenvik {
namespace {

constexpr std::uint32_t kValueBufferSize = 4096;

// FILE_WRITE_DATA (FILE_ADD_FILE), FILE_APPEND_DATA (FILE_ADD_SUBDIRECTORY),
// FILE_DELETE_CHILD, DELETE, WRITE_DAC, WRITE_OWNER, GENERIC_ALL, GENERIC_WRITE: whoever holds
// one on the file or a folder above it can change what the path runs, or plant a library
// beside it.
constexpr std::uint32_t kChangingRights =
    0x2 | 0x4 | 0x40 | 0x10000 | 0x40000 | 0x80000 | 0x10000000 | 0x40000000;
constexpr const char* kSystemSid = "S-1-5-18";
constexpr const char* kTrustedInstallerSid =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr const char* kCreatorOwnerSid = "S-1-3-0";
// ACCESS_DENIED_ACE_TYPE, ACCESS_DENIED_OBJECT_ACE_TYPE, ACCESS_DENIED_CALLBACK_ACE_TYPE,
// ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE: they take away, never give.
constexpr std::uint8_t kDenyingTypes[] = {1, 6, 10, 12};

// The registered text: REG_SZ, or REG_EXPAND_SZ holding no reference to expand.
bool ReadRegistration(AccessBroker& broker, RegKey root, const std::string& executable,
                      std::string* text) {
    RegistryReader& registry = broker.reads().registry;
    ScopedKey key(registry);
    if (broker.openKey(root, kAppPathsKey + executable, kKeyRead, &key) != kErrorSuccess)
        return false;
    std::vector<std::uint8_t> data(kValueBufferSize, 0);
    std::uint32_t type = kRegNone;
    std::uint32_t size = kValueBufferSize;
    if (registry.queryValue(key.get(), "", &type, data.data(), &size) != kErrorSuccess)
        return false;
    if (type != kRegSz && type != kRegExpandSz)
        return false;
    text->assign(reinterpret_cast<const char*>(data.data()), size);
    text->resize(text->find('\0') == std::string::npos ? text->size() : text->find('\0'));
    return text->find('%') == std::string::npos;
}

bool IsInstalledExecutable(AccessBroker& broker, const std::string& path,
                           const std::string& executable) {
    if (path.empty() || Utf16Length(path) > kMaxPathLength)
        return false;
    if (PathFileName(NormalizedPath(path)) != executable)
        return false;
    const std::uint32_t attributes = broker.reads().files.getAttributes(path);
    return attributes != kInvalidFileAttributes && !(attributes & kFileAttributeDirectory);
}

// Surrounding blanks and quotes removed, the separators and letter case kept.
std::string Unquoted(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t\"");
    if (begin == std::string::npos)
        return std::string();
    const std::size_t end = text.find_last_not_of(" \t\"");
    return text.substr(begin, end - begin + 1);
}

bool IsDenying(const AccessEntry& entry) {
    for (std::uint8_t type : kDenyingTypes) {
        if (entry.type == type)
            return true;
    }
    return false;
}

// "X:\..." with plain parts only: nothing relative, no device or network name, no "." or "..".
bool IsPlainLocalPath(const std::string& path) {
    if (path.size() < 4 || path[1] != ':' || path[2] != '\\' ||
        !((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        return false;
    if (path.find('/') != std::string::npos)
        return false;
    std::vector<std::string> parts;
    return SplitPlainParts(path, 3, &parts);
}

}  // namespace

bool OthersMayChange(const AccessList& list) {
    if (!list.present)
        return true;  // a null list admits everybody
    for (const AccessEntry& entry : list.entries) {
        if (IsDenying(entry))
            continue;
        // An allowing entry of another type (object, callback) cannot be judged here.
        if (entry.type != kAccessAllowedAceType)
            return true;
        if (!(entry.mask & kChangingRights))
            continue;
        if (entry.sid == kSystemSid || entry.sid == kBuiltinAdministratorsSid ||
            entry.sid == kTrustedInstallerSid)
            continue;
        // CREATOR OWNER stands for whoever creates a child; on the object itself it is nobody.
        if (entry.sid == kCreatorOwnerSid && (entry.flags & kInheritOnlyAce))
            continue;
        return true;
    }
    return false;
}

bool OnlyAdministratorsMayChange(AccessReader& access, const std::string& path) {
    if (!IsPlainLocalPath(path))
        return false;
    // The file, then each folder above it up to the volume's root, which is left out: its
    // list lets every user create folders in it (and inherit-only rights over what they
    // create), none of which reaches a folder already there.
    std::string object = path;
    for (;;) {
        AccessList list;
        if (access.readAccessList(object, SecurityObjectType::File, &list) != kErrorSuccess ||
            OthersMayChange(list))
            return false;
        const std::size_t slash = object.rfind('\\');
        if (slash <= 2)
            return true;
        object.resize(slash);
    }
}

bool FindRegisteredBrowser(AccessBroker& broker, const std::string& executable, bool machineWide,
                           std::string* path) {
    for (RegKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
        // A place every user runs from takes no registration a single user could have made.
        if (machineWide && root != kHKeyLocalMachine)
            continue;
        std::string text;
        if (!ReadRegistration(broker, root, executable, &text))
            continue;
        const std::string candidate = Unquoted(text);
        if (!IsInstalledExecutable(broker, candidate, executable))
            continue;
        if (!machineWide || OnlyAdministratorsMayChange(broker.reads().access, candidate)) {
            *path = candidate;
            return true;
        }
    }
    return false;
}

std::string RegisteredBrowserCommand(AccessBroker& broker, const Browser& browser,
                                     const std::string& arguments) {
    std::string executable;
    if (!FindRegisteredBrowser(broker, std::string(browser.executable), true, &executable))
        return std::string();
    return "\"" + executable + "\"" + (arguments.empty() ? "" : " " + arguments);
}

}  // namespace brenvik
