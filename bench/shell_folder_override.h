// Points one per-user Shell Folders value at another folder for the life of the object.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace brenvik::bench {

class ShellFolderOverride {
public:
    ShellFolderOverride(const char* valueName, const std::string& folder);
    // Puts the previous value back exactly (type and bytes), or deletes the value when there
    // was none.
    ~ShellFolderOverride();
    ShellFolderOverride(const ShellFolderOverride&) = delete;
    ShellFolderOverride& operator=(const ShellFolderOverride&) = delete;

    // ERROR_SUCCESS when the value now names the folder.
    LONG status() const { return m_status; }

private:
    UniqueHkey m_key;
    std::string m_valueName;
    bool m_hadValue = false;
    DWORD m_previousType = REG_NONE;
    std::vector<BYTE> m_previousData;
    LONG m_status = ERROR_SUCCESS;
};

}  // namespace brenvik::bench
