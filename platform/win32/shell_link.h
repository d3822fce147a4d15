// The shell link object as the shortcut port loads it: created on this thread's COM, and
// loaded by its path through IPersistFile, as the shell itself loads it.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "engine/ports/win_status.h"
#include "platform/win32/handles.h"

namespace brenvik {

// A Win32 error carried in an HRESULT as itself; any other failure means the file is no
// shortcut that can be loaded or saved.
Status LinkStatusOf(HRESULT result);

// A new, empty shell link.
Status NewLink(ComPtr<IShellLinkW>* link);

// The shortcut at path loaded for reading; a path longer than MAX_PATH units less the NUL is
// refused (ERROR_PATH_NOT_FOUND), never cut. Callers declare link before file, so that the
// IPersistFile is released first.
Status LoadLink(const std::string& path, ComPtr<IShellLinkW>* link, ComPtr<IPersistFile>* file);

// A shortcut loaded from its file's bytes, and saved back to bytes, through IPersistStream:
// the file itself is read and written by whoever holds its handle.
Status LoadLinkFromBytes(const std::string& bytes, ComPtr<IShellLinkW>* link);
Status SaveLinkToBytes(IShellLinkW* link, std::string* bytes);

// The shortcut in the open file (FILE_READ_DATA and FILE_WRITE_DATA), changed by change(link)
// and saved back through the same handle, flushed.
template <typename Change>
Status RewriteOpenLink(HANDLE file, Change change);

// A shortcut is a few kilobytes; anything this large is no shortcut.
constexpr std::uint64_t kMaxLinkBytes = 1 << 20;

Status ReadWholeOpenFile(HANDLE file, std::uint64_t limit, std::string* bytes);
Status RewriteWholeOpenFile(HANDLE file, const std::string& bytes);

template <typename Change>
Status RewriteOpenLink(HANDLE file, Change change) {
    std::string bytes;
    if (Status s = ReadWholeOpenFile(file, kMaxLinkBytes, &bytes))
        return s;
    ComPtr<IShellLinkW> link;
    if (Status s = LoadLinkFromBytes(bytes, &link))
        return s;
    if (Status s = change(link.get()))
        return s;
    if (Status s = SaveLinkToBytes(link.get(), &bytes))
        return s;
    return RewriteWholeOpenFile(file, bytes);
}

}  // namespace brenvik
