// The browser shortcut rules: hijacked arguments, and a target that is no browser but a launcher.
#pragma once

#include <string>
#include <vector>

#include "engine/rules/browser_arguments.h"
#include "engine/rules/browser_table.h"

namespace brenvik {

// Browser arguments: when linkName claims a browser (FindBrowserByShortcutName) and
// targetPath is a browser executable, the verdict of the arguments by the target's switch
// family; otherwise no findings and the arguments unchanged. A shortcut the user named after
// a site ("Gmail.lnk" running chrome.exe https://mail.google.com) is therefore never a finding.
ArgumentVerdict JudgeBrowserShortcut(const std::string& linkName, const std::string& targetPath,
                                     const std::string& arguments);

// True when targetPath is something that starts no browser but runs code: cmd.exe,
// wscript.exe, cscript.exe, mshta.exe, rundll32.exe, powershell.exe or pwsh.exe; a script or
// batch file (.bat .cmd .vbs .vbe .js .jse .wsf .wsh .hta) or an Internet shortcut (.url);
// or anything below one of userFolders (the user's AppData, local AppData and Temp folders,
// as the caller found them). A browser executable is never one, wherever it is installed:
// several browsers install per user under AppData.
bool IsNonBrowserLauncher(const std::string& targetPath,
                          const std::vector<std::string>& userFolders);

// The file name, lowercased, of the process that runs a launcher (IsNonBrowserLauncher) while
// it does its work: the program's own for a program ("wscript.exe"), its host for a script
// (".vbs" runs in "wscript.exe", ".hta" in "mshta.exe", a batch file in "cmd.exe"); "" for
// an Internet shortcut, which no process of its own opens. Quotes around
// program are ignored.
std::string LauncherImageName(const std::string& program);

// Browser target replaced: the browser that the shortcut claims to be, by linkName or else by
// the executable of iconPath (the icon file without its index), when targetPath is no browser
// but a launcher (IsNonBrowserLauncher). Null otherwise. The repair points the shortcut at
// this browser's executable.
const Browser* ReplacedBrowserTarget(const std::string& linkName, const std::string& iconPath,
                                     const std::string& targetPath,
                                     const std::vector<std::string>& userFolders);

}  // namespace brenvik
