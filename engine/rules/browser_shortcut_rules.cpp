#include "engine/rules/browser_shortcut_rules.h"

#include "engine/rules/browser_paths.h"

namespace brenvik {
namespace {

// Programs that run whatever their command line names.
const std::string_view kLauncherPrograms[] = {
    "cmd.exe",      "wscript.exe",    "cscript.exe", "mshta.exe",
    "rundll32.exe", "powershell.exe", "pwsh.exe",
};

// Files the shell runs through a script host or the command processor, and Internet shortcuts.
const std::string_view kLauncherExtensions[] = {
    ".bat", ".cmd", ".vbs", ".vbe", ".js", ".jse", ".wsf", ".wsh", ".hta", ".url",
};

template <typename List>
bool HoldsLowercased(const List& list, std::string_view text) {
    for (const std::string_view item : list) {
        if (EqualsLowercased(text, item))
            return true;
    }
    return false;
}

std::string_view ExtensionOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : fileName.substr(dot);
}

// The process each kind of script runs in.
struct ScriptHost {
    std::string_view extension;
    const char* image;
};
constexpr ScriptHost kScriptHosts[] = {
    {".bat", "cmd.exe"},     {".cmd", "cmd.exe"},     {".vbs", "wscript.exe"},
    {".vbe", "wscript.exe"}, {".js", "wscript.exe"},  {".jse", "wscript.exe"},
    {".wsf", "wscript.exe"}, {".wsh", "wscript.exe"}, {".hta", "mshta.exe"},
};

}  // namespace

std::string LauncherImageName(const std::string& program) {
    const std::string fileName = PathFileName(NormalizedPath(program));
    const std::string extension = PathExtension(fileName);
    if (extension == ".url")
        return "";
    for (const ScriptHost& host : kScriptHosts) {
        if (extension == host.extension)
            return host.image;
    }
    return fileName;
}

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
    const std::string_view fileName = RawPathFileName(targetPath);
    if (HoldsLowercased(kLauncherPrograms, fileName) ||
        HoldsLowercased(kLauncherExtensions, ExtensionOf(fileName)))
        return true;
    const std::string path = NormalizedPath(targetPath);
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
