// Known folders as the shell reports them to a test running under Wine.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace brenvik::test {

// The known folder's path; empty when the shell has none.
inline std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        folder = WideToUtf8(path);
    CoTaskMemFree(path);
    return folder;
}

// "%ProgramData%\Brenvik", the program's data folder; empty when the shell has no ProgramData.
inline std::string DataFolder() {
    const std::string programData = KnownFolder(FOLDERID_ProgramData);
    return programData.empty() ? programData : programData + "\\Brenvik";
}

}  // namespace brenvik::test
