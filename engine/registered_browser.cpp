#include "engine/registered_browser.h"

#include <vector>

#include "engine/browser_paths.h"
#include "engine/text_rules.h"

namespace brenvik {
namespace {

constexpr const char* kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr std::uint32_t kValueBufferSize = 4096;

// The registered text: REG_SZ, or REG_EXPAND_SZ holding no reference to expand.
bool ReadRegistration(AccessBroker& broker, RegKey root, const std::string& executable,
                      std::string* text) {
    RegistryPort& registry = broker.ports().registry;
    ScopedKey key(registry);
    if (broker.openKey(root, kAppPaths + executable, kKeyRead, &key) != kErrorSuccess)
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
    const std::uint32_t attributes = broker.ports().files.getAttributes(path);
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

}  // namespace

bool FindRegisteredBrowser(AccessBroker& broker, const std::string& executable, std::string* path) {
    for (RegKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
        std::string text;
        if (!ReadRegistration(broker, root, executable, &text))
            continue;
        const std::string candidate = Unquoted(text);
        if (IsInstalledExecutable(broker, candidate, executable)) {
            *path = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace brenvik
