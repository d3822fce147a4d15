#include "engine/places/shell_folder.h"

#include <cstdint>
#include <vector>

#include "engine/base/text_rules.h"

namespace brenvik {
namespace {

constexpr std::uint32_t kValueBufferSize = 4096;

// The value's text: the last character is taken to be the terminator, so data stored without
// one loses its last character (a whole UTF-8 sequence), and the text ends at its first NUL.
std::string FolderText(const std::string& data) {
    std::size_t end = data.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(data[end]) & 0xC0) == 0x80) --end;
    const std::string text = data.substr(0, end);
    return text.substr(0, text.find('\0'));
}

}  // namespace

std::size_t FindUserShellFolder(RegistryReader& registry, FileReader& files,
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
    // The whole data, terminator included, must fit a MAX_PATH buffer of UTF-16 units.
    const std::string stored(reinterpret_cast<const char*>(data.data()), size);
    if (stored.empty() || Utf16Length(stored) > kMaxPathLength)
        return 0;

    const std::string text = FolderText(stored);
    const std::uint32_t attributes = files.getAttributes(text);
    if (attributes == kInvalidFileAttributes || !(attributes & kFileAttributeDirectory))
        return 0;
    folder = text;
    return folder.size();
}

}  // namespace brenvik
