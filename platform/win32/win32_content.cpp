// Win32Platform's whole-object reads and writes: file bytes and registry values as stored.
#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/registry_roots.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

Status LastError() {
    return static_cast<Status>(GetLastError());
}

DWORD BackupFlag(OpenMode mode) {
    return mode == OpenMode::BackupIntent ? FILE_FLAG_BACKUP_SEMANTICS : 0;
}

Status ReadAll(const std::string& path, DWORD flags, std::string* bytes) {
    bytes->clear();
    UniqueHfile file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | flags, nullptr));
    if (!file)
        return LastError();
    return ReadWholeFile(file.get(), kMaxContentBytes, bytes);
}

Status WriteAll(const std::string& path, const std::string& bytes, bool replace, DWORD flags) {
    UniqueHfile file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                 replace ? CREATE_ALWAYS : CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH | flags, nullptr));
    if (!file)
        return LastError();
    return WriteDurably(file.get(), bytes);
}

}  // namespace

Status Win32Platform::readFileBytes(const std::string& path, std::string* bytes, OpenMode mode) {
    return ReadAll(path, BackupFlag(mode), bytes);
}

Status Win32Platform::writeFileBytes(const std::string& path, const std::string& bytes,
                                     bool replace, OpenMode mode) {
    return WriteAll(path, bytes, replace, BackupFlag(mode));
}

Status Win32Platform::enumValue(RegKey key, std::uint32_t index, ValueEntry* value) {
    *value = ValueEntry{};
    DWORD nameLength = 0;
    DWORD dataLength = 0;
    LONG status = RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, &nameLength, &dataLength, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    // The sizes can grow between the two calls: ask again with what the call says it needs.
    for (;;) {
        std::vector<wchar_t> name(nameLength + 1);
        std::vector<BYTE> data(dataLength + 1);
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        status = RegEnumValueW(ToHkey(key), index, name.data(), &nameSize, nullptr, &type,
                               data.data(), &dataSize);
        if (status == ERROR_MORE_DATA) {
            nameLength = nameLength * 2 + 256;
            dataLength = dataSize > dataLength ? dataSize : dataLength * 2 + 256;
            continue;
        }
        if (status != ERROR_SUCCESS)
            return status;
        value->name = WideToUtf8(name.data(), nameSize);
        value->type = type;
        value->data.assign(reinterpret_cast<const char*>(data.data()), dataSize);
        return ERROR_SUCCESS;
    }
}

Status Win32Platform::setValueBytes(RegKey key, const std::string& name, std::uint32_t type,
                                    const std::string& data) {
    return RegSetValueExW(ToHkey(key), Utf8ToWide(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

}  // namespace brenvik
