// What every registry call of the Win32 ports checks at the edge: names cut short by an
// embedded NUL, and registry links under a key opened for a change.
#pragma once

#include <windows.h>

#include <string>

#include "engine/ports/win_status.h"

namespace brenvik {

// The wide calls end a name at its first NUL: "a\0b" would reach key "a". Such a name is
// refused rather than cut.
inline bool HasEmbeddedNul(const std::string& name) {
    return name.find('\0') != std::string::npos;
}

// Rights that change a key, its values or its list; a handle opened for any of them is
// opened on a link itself (REG_OPTION_OPEN_LINK), never on where the link leads.
constexpr REGSAM kKeyChangingRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK |
                                      DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                      GENERIC_ALL | MAXIMUM_ALLOWED;

inline bool IsForChange(REGSAM access) {
    return (access & kKeyChangingRights) != 0;
}

// True when key (opened with REG_OPTION_OPEN_LINK) is a registry link: a key made with
// REG_OPTION_CREATE_LINK whose REG_LINK value SymbolicLinkValue names another key. A handle
// without the right to read values is read through a second handle on the same key; when
// even that is refused the key is taken as it is: the handle is on the link itself, so a
// change through it still reaches no other key.
inline bool IsRegistryLink(HKEY key) {
    DWORD type = REG_NONE;
    LONG status = RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr);
    if (status == ERROR_ACCESS_DENIED) {
        HKEY reader = nullptr;
        if (RegOpenKeyExW(key, L"", REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE, &reader) !=
            ERROR_SUCCESS)
            return false;
        status = RegQueryValueExW(reader, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr);
        RegCloseKey(reader);
    }
    return (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) && type == REG_LINK;
}

// The status for a key refused because it is a link: what the store gives a reparse point.
constexpr Status kErrorKeyIsLink = kErrorCantAccessFile;

// Deletes the key at path below parent through a handle on its own name (opened with DELETE
// and options, REG_OPTION_OPEN_LINK included), refused when it is a link: RegDeleteKeyW would
// follow a link and delete the key it leads to.
Status DeleteKeyOnItsName(HKEY parent, const std::string& path, DWORD options);

}  // namespace brenvik
