// Which browser a shell verb's command runs, and the arguments it passes.
#pragma once

#include <string>

#include "engine/rules/browser_table.h"

namespace brenvik {

struct BrowserCommand {
    const Browser* browser;  // null when the command's program is no browser in the table
    std::string arguments;   // what follows the program, leading blanks skipped
    std::string program{};   // the program as spelled, quotes included; "" when there is none
};

// Splits a command text into its program and arguments: a quoted program runs to its closing
// quote; an unquoted one, which may hold blanks ("C:\Program Files\...\chrome.exe x"), runs to
// the first ".exe" that a blank or the end follows. A command with neither has no program.
BrowserCommand ParseBrowserCommand(const std::string& command);

}  // namespace brenvik
