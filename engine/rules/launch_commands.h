// The commands Windows runs to open a web address: a handler's or a browser's registered
// launch command, and what a startup entry or a scheduled task runs at every logon.
#pragma once

#include <string>
#include <vector>

#include "engine/rules/browser_table.h"

namespace brenvik {

enum class LaunchHijack { None, Arguments, ReplacedTarget };

struct LaunchVerdict {
    LaunchHijack hijack = LaunchHijack::None;
    // Arguments: each address or code-loading switch, blank-separated; ReplacedTarget: the
    // program run instead of a browser.
    std::string site;
    // Arguments: the command with those tokens removed, its program as spelled.
    std::string repaired;
    // Arguments: why the repair may not be written ("" when it may).
    std::string refused;
};

// A launch command is hijacked by Arguments when it runs a browser of the table and its
// arguments hold, beyond the link placeholder ("%1", "%l") and the family's own switches, a
// web address or a code-loading switch (JudgeBrowserArguments); by ReplacedTarget when
// browserOwned (the command is a browser's, or that of http, https or htmlfile) and its
// program is a launcher (IsNonBrowserLauncher). The system's own Internet shortcut handlers
// (rundll32 with ieframe.dll,OpenURL or url.dll,FileProtocolHandler, and a placeholder) are
// never either.
LaunchVerdict JudgeLaunchCommand(const std::string& command, bool browserOwned,
                                 const std::vector<std::string>& userFolders);

// The program a command runs, as spelled (quotes included): ParseBrowserCommand's, or for a
// program it finds none in (a script, a bare "cmd") the text up to the first blank.
std::string ParseLaunchProgram(const std::string& command);

// How a browser of the family is given the link it is to open, as its own handlers pass it:
// Chromium "--single-argument %1", Firefox "-osint -url "%1"", Internet Explorer "%1".
const char* LinkPlaceholder(SwitchFamily family);

// What a startup command opens, or "" when it opens no web address and loads no code into a
// browser: a browser with an address or a code-loading switch (the findings, blank-separated);
// the address of "cmd /c start <address>" (or /k, a window title allowed), "explorer
// <address>", "rundll32 url.dll,FileProtocolHandler <address>" or "ieframe.dll,OpenURL
// <address>", "mshta <address>" (javascript: and vbscript: included); or a command that is
// one bare address. Programs compare by file name, with or without ".exe", in any case.
std::string StartupAddress(const std::string& command);

}  // namespace brenvik
