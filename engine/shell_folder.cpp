#include "engine/shell_folder.h"

#include <cstdint>
#include <vector>

namespace brenvik {
namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::uint32_t kValueBufferSize = 4096;
constexpr std::uint32_t kPathBufferSize = 260;

}  // namespace

std::size_t FindUserShellFolder(RegistryPort& registry, FilePort& files,
                                const std::string& valueName, std::string& folder) {
    folder.clear();
    ScopedKey key(registry);
    if (registry.openKey(kHKeyCurrentUser, kShellFoldersKey, kKeyRead, key.put()) != kErrorSuccess)
        return 0;

    std::vector<std::uint8_t> data(kValueBufferSize, 0);
    std::uint32_t type = kRegNone;
    std::uint32_t size = kValueBufferSize;
    if (registry.queryValue(key.get(), valueName, &type, data.data(), &size) != kErrorSuccess)
        return 0;
    if (type != kRegSz && type != kRegExpandSz)
        return 0;
    if (size == 0 || size >= kPathBufferSize)
        return 0;

    // The last byte is taken to be the terminator: data stored without one loses its
    // last character, and the text ends at its first NUL.
    data[size - 1] = 0;
    const std::string text(reinterpret_cast<const char*>(data.data()));
    const std::uint32_t attributes = files.getAttributes(text);
    if (attributes == kInvalidFileAttributes || !(attributes & kFileAttributeDirectory))
        return 0;
    folder = text;
    return folder.size();
}

}  // namespace brenvik
