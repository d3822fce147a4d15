// What a hijacker leaves running to guard its shortcut: whenever the guarded file is gone or
// differs from the copy it keeps, it writes the copy back. Usage: guardian <guarded> <copy>
// <ready>; it makes the ready file once it watches, and runs until it is ended (or for five
// minutes, so that a test that fails leaves nothing behind).
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace {

constexpr DWORD kLookEveryMs = 20;
constexpr DWORD kRunForMs = 5 * 60 * 1000;

// The file's bytes, read with every kind of sharing: the guardian must never be what keeps a
// repair from deleting or rewriting the file. Empty when it cannot be read.
std::string ReadShared(const std::wstring& path) {
    const brenvik::UniqueHfile file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4)
        return 3;
    const std::wstring guarded = argv[1];
    const std::wstring copy = argv[2];
    const std::string kept = ReadShared(copy);
    if (kept.empty())
        return 3;
    if (!brenvik::UniqueHfile(CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr)))
        return 3;
    // A short poll rather than change notifications: simpler, and as quick as a guardian needs.
    for (DWORD waited = 0; waited < kRunForMs; waited += kLookEveryMs) {
        if (ReadShared(guarded) != kept)
            CopyFileW(copy.c_str(), guarded.c_str(), FALSE);
        Sleep(kLookEveryMs);
    }
    return 0;
}
