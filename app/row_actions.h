// What a report row's Copy details and Open file location do.
#pragma once

#include <windows.h>

#include <string>

namespace brenvik {

// Replaces the clipboard's content with text (CF_UNICODETEXT); false when it could not.
bool CopyToClipboard(HWND hOwner, const std::wstring& text);

// Opens the file's folder in the shell with the file selected. The path comes from a folder
// others may write to: it is handed to the shell as one parsed name, never put into a
// command line. False when it does not name an object the shell can show.
bool ShowInFolder(const std::string& path);

}  // namespace brenvik
