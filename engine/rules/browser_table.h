// The browsers the shortcut rules know: executable, shown names and switch family, one row each.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace brenvik {

// Which command-line conventions a browser follows; the argument rules depend on it.
enum class SwitchFamily { Chromium, Firefox, InternetExplorer };

struct Browser {
    std::string_view executable;  // file name in lowercase ASCII, e.g. "chrome.exe"
    SwitchFamily family;
    // Names its own shortcuts carry, UTF-8; unused slots are null. With none, no shortcut
    // is claimed by name, not even by the executable's name.
    std::array<const char*, 3> shownNames;
};

// Every row's executable, in the table's order.
std::vector<std::string_view> BrowserExecutables();

// The row whose executable is the file name of path: a bare name or a full path (either
// separator), surrounding blanks and quotes tolerated, ASCII case ignored. Null when none.
const Browser* FindBrowserByExecutable(const std::string& path);

// The row a shortcut's file name (or full path) claims: the name without its extension holds
// a shown name or an executable's name without ".exe". ASCII letters compare without case,
// other bytes as they are. A match must not run on into an ASCII letter on either side, so
// "Operations.lnk" claims no "Opera" and "Braveheart.lnk" no "Brave"; the longest name held
// wins ("360chrome.lnk" is not chrome's). Null when none:
// a shortcut the user named after a site ("Gmail.lnk") is not a browser's own.
const Browser* FindBrowserByShortcutName(const std::string& name);

}  // namespace brenvik
