#include "engine/browser_shortcut_rules.h"

#include "engine/browser_paths.h"

namespace brenvik {
namespace {

// Programs that run whatever their command line names.
const char* const kLauncherPrograms[] = {
    "cmd.exe",      "wscript.exe",    "cscript.exe", "mshta.exe",
    "rundll32.exe", "powershell.exe", "pwsh.exe",
};

// Files the shell runs through a script host or the command processor, and Internet shortcuts.
const char* const kLauncherExtensions[] = {
    ".bat", ".cmd", ".vbs", ".vbe", ".js", ".jse", ".wsf", ".wsh", ".hta", ".url",
};

template <typename List>
bool Contains(const List& list, const std::string& text) {
    for (const char* item : list) {
        if (text == item)
            return true;
    }
    return false;
}

}  // namespace

ArgumentVerdict JudgeBrowserShortcut(const std::string& linkName, const std::string& targetPath,
                                     const std::string& arguments) {
    const Browser* target = FindBrowserByExecutable(targetPath);
    if (target == nullptr || FindBrowserByShortcutName(linkName) == nullptr)
        return ArgumentVerdict{{}, arguments};
    return JudgeBrowserArguments(arguments, target->family);
}

bool IsNonBrowserLauncher(const std::string& targetPath,
                          const std::vector<std::string>& userFolders) {
    if (FindBrowserByExecutable(targetPath) != nullptr)
        return false;
    const std::string path = NormalizedPath(targetPath);
    const std::string fileName = PathFileName(path);
    if (Contains(kLauncherPrograms, fileName) ||
        Contains(kLauncherExtensions, PathExtension(fileName)))
        return true;
    for (const std::string& folder : userFolders) {
        if (IsPathUnderFolder(path, folder))
            return true;
    }
    return false;
}

const Browser* ReplacedBrowserTarget(const std::string& linkName, const std::string& iconPath,
                                     const std::string& targetPath,
                                     const std::vector<std::string>& userFolders) {
    if (!IsNonBrowserLauncher(targetPath, userFolders))
        return nullptr;
    const Browser* claimed = FindBrowserByShortcutName(linkName);
    return claimed != nullptr ? claimed : FindBrowserByExecutable(iconPath);
}

}  // namespace brenvik
