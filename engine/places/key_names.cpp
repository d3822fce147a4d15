#include "engine/places/key_names.h"

namespace brenvik {
namespace {

constexpr std::uint32_t kTextBufferSize = 4096;

}  // namespace

std::vector<std::string> SubkeyNames(RegistryReader& registry, RegKey key, Status* error) {
    std::vector<std::string> names;
    Status ignored = kErrorSuccess;
    Status& result = error != nullptr ? *error : ignored;
    result = kErrorSuccess;
    std::uint32_t count = 0;
    if (Status s = registry.querySubkeyCount(key, &count)) {
        result = s;
        return names;
    }
    for (std::uint32_t index = 0; index < count; ++index) {
        char name[kKeyNameBufferSize];
        std::uint32_t size = kKeyNameBufferSize;
        const Status s = registry.enumKey(key, index, name, &size);
        if (s == kErrorMoreData)
            continue;
        // A subkey deleted meanwhile ends the enumeration early and is no refusal.
        if (s != kErrorSuccess) {
            if (s != kErrorNoMoreItems)
                result = s;
            break;
        }
        names.emplace_back(name, size);
    }
    return names;
}

std::vector<std::string> ValueNames(RegistryReader& registry, RegKey key, Status* error) {
    std::vector<std::string> names;
    Status ignored = kErrorSuccess;
    Status& result = error != nullptr ? *error : ignored;
    result = kErrorSuccess;
    for (std::uint32_t index = 0;; ++index) {
        std::string name;
        const Status s = registry.enumValueName(key, index, &name);
        if (s != kErrorSuccess) {
            if (s != kErrorNoMoreItems)
                result = s;
            return names;
        }
        names.push_back(std::move(name));
    }
}

namespace {

bool ReadText(RegistryReader& registry, RegKey key, const std::string& name, std::string* text,
              std::uint32_t* type) {
    std::vector<std::uint8_t> data(kTextBufferSize, 0);
    std::uint32_t size = kTextBufferSize;
    if (registry.queryValue(key, name, type, data.data(), &size) != kErrorSuccess)
        return false;
    text->assign(reinterpret_cast<const char*>(data.data()), size);
    const std::size_t zero = text->find('\0');
    if (zero != std::string::npos)
        text->resize(zero);
    return true;
}

}  // namespace

bool ReadValueText(RegistryReader& registry, RegKey key, const std::string& name,
                   std::string* text) {
    std::uint32_t type = kRegNone;
    return ReadText(registry, key, name, text, &type) && (type == kRegSz || type == kRegExpandSz);
}

bool ReadDefaultText(RegistryReader& registry, RegKey key, std::string* text) {
    std::uint32_t type = kRegNone;
    return ReadText(registry, key, "", text, &type);
}

bool ReadDword(RegistryReader& registry, RegKey key, const std::string& name,
               std::uint32_t* number) {
    std::uint32_t type = kRegNone;
    std::uint32_t size = sizeof *number;
    std::uint8_t data[4] = {};
    if (registry.queryValue(key, name, &type, data, &size) != kErrorSuccess || type != kRegDword ||
        size != 4)
        return false;
    *number = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
              static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    return true;
}

}  // namespace brenvik
